#pragma once
// Where the game's picture lies in a window: drawn at a whole-number scale with square pixels
// (nearest neighbour), or in "fit" mode at the largest size that fits whatever the ratio (still
// nearest neighbour: sharp, though not every pixel is the same size), centred, with a black border
// around it when the window is larger. Pure arithmetic, shared by the window host and its tests.
#include <cstdint>
#include <optional>

#include "platform/surface.hpp"

namespace vunt {

struct Viewport {
  int scale = 1;     // the whole scale; in fit mode the whole part of it (at least 1)
  int x = 0, y = 0;  // top-left corner of the scaled picture in the window
  int w = 0, h = 0;  // size of the scaled picture
  int pictureW = 0, pictureH = 0;  // fit mode: the picture's own size (0: a whole scale)
  bool fitted() const { return pictureW > 0 && pictureH > 0; }
  bool contains(int wx, int wy) const { return wx >= x && wy >= y && wx < x + w && wy < y + h; }
};

// The largest whole scale at which a picture of pictureW x pictureH fits in areaW x areaH, at
// least 1 and at most maxScale (0: no bound); centred in the area (a picture larger than the area
// overhangs it equally on both sides).
Viewport fitViewport(int areaW, int areaH, int pictureW, int pictureH, int maxScale = 0);

// The largest picture of pictureW x pictureH's proportions that fits in areaW x areaH (at least
// the picture's own size), centred: fit mode.
Viewport fitAnyViewport(int areaW, int areaH, int pictureW, int pictureH);

// The scale a window opens at: the largest whole scale whose window fits 80 % of the display,
// at least 1.
int startScale(int displayW, int displayH, int formW, int formH);

// A point of the window in the picture's own pixels (rounded towards the top-left); false when
// the point lies outside the picture.
bool toPicture(const Viewport& v, int wx, int wy, int& px, int& py);

// A 32-bit target of windowW x windowH pixels (pitch in bytes), as the window system lends it.
struct PixelTarget {
  std::uint32_t* pixels;
  int pitch;
  int width, height;
};

// Draws src into the target at the viewport's place and scale, every source pixel a scale x scale
// square, clipped to the target. Pixels are 0x00RRGGBB, the layout of the usual 32-bit screen.
void drawScaled(const Surface& src, const Viewport& v, PixelTarget target);
// Only the part of src inside the rectangle (in src's pixels) drawn as drawScaled draws it, at a
// whole scale or fitted; the rest of the target is left alone. Returns the part of the target it
// covered, clipped.
Rect drawScaledPart(const Surface& src, const Viewport& v, Rect part, PixelTarget target);
// The smallest rectangle holding every pixel in which two pictures of one size differ: nothing when
// they are equal, the whole of `after` when their sizes differ.
std::optional<Rect> changedRect(const Surface& before, const Surface& after);
// The same for the part of `frame` inside area, against `before` holding that part as it was
// (area's size, at 0, 0); the rectangle is in frame's pixels.
std::optional<Rect> changedRect(const Surface& before, const Surface& frame, Rect area);
// Fills the target outside the rectangle r (its border) with a colour.
void fillOutside(PixelTarget target, const Viewport& r, Colour c);

}  // namespace vunt
