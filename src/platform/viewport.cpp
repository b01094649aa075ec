#include "platform/viewport.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vunt {

Viewport fitViewport(int areaW, int areaH, int pictureW, int pictureH, int maxScale) {
  Viewport v;
  if (pictureW > 0 && pictureH > 0) v.scale = std::max(1, std::min(areaW / pictureW, areaH / pictureH));
  if (maxScale > 0) v.scale = std::min(v.scale, maxScale);
  v.w = pictureW * v.scale;
  v.h = pictureH * v.scale;
  v.x = (areaW - v.w) / 2;
  v.y = (areaH - v.h) / 2;
  return v;
}

Viewport fitAnyViewport(int areaW, int areaH, int pictureW, int pictureH) {
  if (pictureW <= 0 || pictureH <= 0) return fitViewport(areaW, areaH, pictureW, pictureH);
  Viewport v;
  // The width the area's height allows, or the area's width, whichever is less.
  long long w = std::min<long long>(areaW, static_cast<long long>(areaH) * pictureW / pictureH);
  w = std::max<long long>(w, pictureW);
  v.w = int(w);
  v.h = int(std::max<long long>(w * pictureH / pictureW, pictureH));
  v.scale = std::max(1, v.w / pictureW);
  v.pictureW = pictureW;
  v.pictureH = pictureH;
  v.x = (areaW - v.w) / 2;
  v.y = (areaH - v.h) / 2;
  return v;
}

int startScale(int displayW, int displayH, int formW, int formH) {
  if (formW <= 0 || formH <= 0) return 1;
  // 80 % of the display, in whole pixels: leaves room for the frame, the panel and the taskbar.
  long long w = displayW * 4LL / 5, h = displayH * 4LL / 5;
  return int(std::max(1LL, std::min(w / formW, h / formH)));
}

bool toPicture(const Viewport& v, int wx, int wy, int& px, int& py) {
  if (!v.contains(wx, wy) || v.scale < 1) return false;
  if (v.fitted()) {
    px = int(static_cast<long long>(wx - v.x) * v.pictureW / v.w);
    py = int(static_cast<long long>(wy - v.y) * v.pictureH / v.h);
    return true;
  }
  px = (wx - v.x) / v.scale;
  py = (wy - v.y) / v.scale;
  return true;
}

// Fit mode: each target pixel takes the source pixel it lies over.
static void drawFitted(const Surface& src, const Viewport& v, PixelTarget t) {
  const int x0 = std::max(0, v.x), y0 = std::max(0, v.y);
  const int x1 = std::min(t.width, v.x + v.w), y1 = std::min(t.height, v.y + v.h);
  if (x0 >= x1 || y0 >= y1 || v.w <= 0 || v.h <= 0) return;
  std::vector<int> column(std::size_t(x1 - x0));
  for (int tx = x0; tx < x1; ++tx)
    column[std::size_t(tx - x0)] = std::min(src.width() - 1, int(static_cast<long long>(tx - v.x) * src.width() / v.w));
  std::uint8_t* base = reinterpret_cast<std::uint8_t*>(t.pixels);
  for (int ty = y0; ty < y1; ++ty) {
    const int sy = std::min(src.height() - 1, int(static_cast<long long>(ty - v.y) * src.height() / v.h));
    const Colour* in = src.data() + std::size_t(sy) * src.width();
    std::uint32_t* out = reinterpret_cast<std::uint32_t*>(base + std::size_t(ty) * t.pitch);
    for (int tx = x0; tx < x1; ++tx) out[tx] = in[column[std::size_t(tx - x0)]];
  }
}

void drawScaled(const Surface& src, const Viewport& v, PixelTarget t) {
  if (src.empty() || v.scale < 1) return;
  if (v.fitted()) return drawFitted(src, v, t);
  const int s = v.scale;
  // The part of the target the scaled picture covers.
  const int x0 = std::max(0, v.x), y0 = std::max(0, v.y);
  const int x1 = std::min({t.width, v.x + src.width() * s}), y1 = std::min({t.height, v.y + src.height() * s});
  if (x0 >= x1 || y0 >= y1) return;
  std::uint8_t* base = reinterpret_cast<std::uint8_t*>(t.pixels);
  if (s == 1) {  // each row a straight copy
    for (int ty = y0; ty < y1; ++ty)
      std::memcpy(reinterpret_cast<std::uint32_t*>(base + std::size_t(ty) * t.pitch) + x0,
                  src.data() + std::size_t(ty - v.y) * src.width() + (x0 - v.x), std::size_t(x1 - x0) * 4);
    return;
  }
  for (int ty = y0; ty < y1; ++ty) {
    const int sy = (ty - v.y) / s;
    std::uint32_t* out = reinterpret_cast<std::uint32_t*>(base + std::size_t(ty) * t.pitch);
    // Rows that repeat the previous source row are copied whole.
    if (ty > y0 && (ty - v.y) % s != 0) {
      std::memcpy(out + x0, reinterpret_cast<std::uint32_t*>(base + std::size_t(ty - 1) * t.pitch) + x0,
                  std::size_t(x1 - x0) * 4);
      continue;
    }
    const Colour* in = src.data() + std::size_t(sy) * src.width();
    int tx = x0;
    int sx = (tx - v.x) / s;
    int left = s - (tx - v.x) % s;  // target pixels left for the current source pixel
    while (tx < x1) {
      const std::uint32_t p = in[sx];
      const int n = std::min(left, x1 - tx);
      for (int i = 0; i < n; ++i) out[tx + i] = p;
      tx += n;
      ++sx;
      left = s;
    }
  }
}

Rect drawScaledPart(const Surface& src, const Viewport& v, Rect part, PixelTarget t) {
  part = intersect(part, {0, 0, src.width(), src.height()});
  if (part.empty() || v.scale < 1) return {};
  // The target pixels that show the part, clipped; then drawScaled into just that window of the
  // target. In fit mode target pixel x shows source pixel (x - v.x) * width / v.w, so source
  // column p begins at the first x with (x - v.x) * width >= p * v.w.
  auto start = [&](int p, int size, int scaled) {
    if (!v.fitted()) return p * v.scale;
    return int((static_cast<long long>(p) * scaled + size - 1) / size);
  };
  const int x0 = std::max(0, v.x + start(part.x, src.width(), v.w));
  const int y0 = std::max(0, v.y + start(part.y, src.height(), v.h));
  const int x1 = std::min(t.width, v.x + start(part.x + part.w, src.width(), v.w));
  const int y1 = std::min(t.height, v.y + start(part.y + part.h, src.height(), v.h));
  if (x0 >= x1 || y0 >= y1) return {};
  std::uint8_t* corner = reinterpret_cast<std::uint8_t*>(t.pixels) + std::size_t(y0) * std::size_t(t.pitch) + std::size_t(x0) * 4;
  Viewport shifted = v;
  shifted.x -= x0, shifted.y -= y0;
  drawScaled(src, shifted, {reinterpret_cast<std::uint32_t*>(corner), t.pitch, x1 - x0, y1 - y0});
  return {x0, y0, x1 - x0, y1 - y0};
}

std::optional<Rect> changedRect(const Surface& before, const Surface& after) {
  if (before.width() != after.width() || before.height() != after.height())
    return Rect{0, 0, after.width(), after.height()};
  return changedRect(before, after, {0, 0, after.width(), after.height()});
}

std::optional<Rect> changedRect(const Surface& before, const Surface& frame, Rect area) {
  const int w = area.w, h = area.h;
  if (before.width() != w || before.height() != h || !(intersect(area, {0, 0, frame.width(), frame.height()}) == area))
    return area;
  int top = h, bottom = -1, left = w, right = -1;
  for (int y = 0; y < h; ++y) {
    const Colour* a = before.data() + std::size_t(y) * std::size_t(w);
    const Colour* b = frame.data() + std::size_t(area.y + y) * std::size_t(frame.width()) + std::size_t(area.x);
    if (std::memcmp(a, b, std::size_t(w) * sizeof(Colour)) == 0) continue;
    top = std::min(top, y), bottom = y;
    int x = 0;
    while (a[x] == b[x]) ++x;
    left = std::min(left, x);
    int r = w - 1;
    while (a[r] == b[r]) --r;
    right = std::max(right, r);
  }
  if (bottom < 0) return std::nullopt;
  return Rect{area.x + left, area.y + top, right - left + 1, bottom - top + 1};
}

void fillOutside(PixelTarget t, const Viewport& r, Colour c) {
  std::uint8_t* base = reinterpret_cast<std::uint8_t*>(t.pixels);
  const int rx0 = std::clamp(r.x, 0, t.width), rx1 = std::clamp(r.x + r.w, 0, t.width);
  for (int y = 0; y < t.height; ++y) {
    std::uint32_t* row = reinterpret_cast<std::uint32_t*>(base + std::size_t(y) * t.pitch);
    if (y < r.y || y >= r.y + r.h || rx0 >= rx1) {
      std::fill(row, row + t.width, c);
    } else {
      std::fill(row, row + rx0, c);
      std::fill(row + rx1, row + t.width, c);
    }
  }
}

}  // namespace vunt
