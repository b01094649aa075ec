#pragma once
// 32-bit software drawing surfaces (0x00RRGGBB pixels) and the three raster operations the
// game paints with. Every window, picture box and picture of the program is one of these.
#include <cstdint>
#include <vector>

namespace vunt {

using Colour = std::uint32_t;  // 0x00RRGGBB

constexpr Colour rgb(int r, int g, int b) {
  return (Colour(r & 255) << 16) | (Colour(g & 255) << 8) | Colour(b & 255);
}

// The raster operations of the Windows graphics interface that the game uses.
enum class Rop { SrcCopy, SrcAnd, SrcInvert };

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
  bool empty() const { return w <= 0 || h <= 0; }
  bool operator==(const Rect&) const = default;
};

// The part two rectangles share (empty when none).
Rect intersect(Rect a, Rect b);
// The least rectangle holding both; an empty one adds nothing.
Rect unite(Rect a, Rect b);

class Surface {
 public:
  Surface() = default;
  Surface(int w, int h, Colour fill = 0);

  int width() const { return w_; }
  int height() const { return h_; }
  bool empty() const { return w_ == 0 || h_ == 0; }

  Colour pixel(int x, int y) const;  // 0 outside the surface
  void setPixel(int x, int y, Colour c);
  void fill(Colour c);
  void fillRect(Rect r, Colour c);  // clipped

  // Paints the w x h rectangle of src at (sx, sy) onto this surface at (dx, dy) with the raster
  // operation; both rectangles are clipped, nothing outside either surface is touched.
  void paint(const Surface& src, int dx, int dy, int sx, int sy, int w, int h, Rop rop = Rop::SrcCopy);
  // The whole of src at (dx, dy), clipped.
  void paint(const Surface& src, int dx, int dy) { paint(src, dx, dy, 0, 0, src.w_, src.h_); }

  Colour* data() { return px_.data(); }
  const Colour* data() const { return px_.data(); }
  bool operator==(const Surface&) const = default;

 private:
  int w_ = 0, h_ = 0;
  std::vector<Colour> px_;
};

}  // namespace vunt
