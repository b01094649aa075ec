#include "platform/surface.hpp"

#include <algorithm>
#include <cstring>

namespace vunt {

Rect intersect(Rect a, Rect b) {
  const int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
  const int x1 = std::min(a.x + a.w, b.x + b.w), y1 = std::min(a.y + a.h, b.y + b.h);
  if (x0 >= x1 || y0 >= y1) return {};
  return {x0, y0, x1 - x0, y1 - y0};
}

Rect unite(Rect a, Rect b) {
  if (a.empty()) return b.empty() ? Rect{} : b;
  if (b.empty()) return a;
  const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
  const int x1 = std::max(a.x + a.w, b.x + b.w), y1 = std::max(a.y + a.h, b.y + b.h);
  return {x0, y0, x1 - x0, y1 - y0};
}

Surface::Surface(int w, int h, Colour fill)
    : w_(std::max(w, 0)), h_(std::max(h, 0)), px_(std::size_t(w_) * std::size_t(h_), fill) {}

Colour Surface::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return 0;
  return px_[std::size_t(y) * w_ + x];
}

void Surface::setPixel(int x, int y, Colour c) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
  px_[std::size_t(y) * w_ + x] = c & 0xFFFFFF;
}

namespace {

// Fills n pixels with a colour: a short run one by one, then copies of what is filled, doubling,
// which the C library does many bytes at a time (a plain loop stays a pixel at a time here).
void fillPixels(Colour* p, std::size_t n, Colour c) {
  const std::size_t first = std::min<std::size_t>(n, 16);
  std::fill(p, p + first, c);
  for (std::size_t done = first; done < n;) {
    const std::size_t k = std::min(done, n - done);
    std::memcpy(p + done, p, k * sizeof(Colour));
    done += k;
  }
}

}  // namespace

void Surface::fill(Colour c) { fillPixels(px_.data(), px_.size(), c & 0xFFFFFF); }

void Surface::fillRect(Rect r, Colour c) {
  int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
  int x1 = std::min(r.x + r.w, w_), y1 = std::min(r.y + r.h, h_);
  if (x0 >= x1 || y0 >= y1) return;  // wholly outside the surface
  // The first row is filled, the others are copies of it.
  Colour* first = px_.data() + std::size_t(y0) * w_ + x0;
  const std::size_t n = std::size_t(x1 - x0);
  fillPixels(first, n, c & 0xFFFFFF);
  for (int y = y0 + 1; y < y1; ++y) std::memcpy(first + std::size_t(y - y0) * w_, first, n * sizeof(Colour));
}

void Surface::paint(const Surface& src, int dx, int dy, int sx, int sy, int w, int h, Rop rop) {
  // Clip against the source, then against the destination, moving both origins together.
  if (sx < 0) { dx -= sx; w += sx; sx = 0; }
  if (sy < 0) { dy -= sy; h += sy; sy = 0; }
  w = std::min(w, src.w_ - sx);
  h = std::min(h, src.h_ - sy);
  if (dx < 0) { sx -= dx; w += dx; dx = 0; }
  if (dy < 0) { sy -= dy; h += dy; dy = 0; }
  w = std::min(w, w_ - dx);
  h = std::min(h, h_ - dy);
  if (w <= 0 || h <= 0) return;
  for (int y = 0; y < h; ++y) {
    const Colour* s = src.px_.data() + std::size_t(sy + y) * src.w_ + sx;
    Colour* d = px_.data() + std::size_t(dy + y) * w_ + dx;
    switch (rop) {
      case Rop::SrcCopy: std::copy(s, s + w, d); break;
      case Rop::SrcAnd: for (int x = 0; x < w; ++x) d[x] &= s[x]; break;
      case Rop::SrcInvert: for (int x = 0; x < w; ++x) d[x] ^= s[x]; break;
    }
  }
}

}  // namespace vunt
