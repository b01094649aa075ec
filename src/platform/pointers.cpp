#include "platform/pointers.hpp"

#include <cstdio>

#include "platform/picture.hpp"

namespace {
#include "assets/click_pointer.xpm"
#include "assets/icon.xpm"
#include "assets/keyboard_pointer.xpm"
}  // namespace

namespace vunt {

// The see-through colour of the pictures here: tools/make_pointers.py and tools/make_icon.py draw
// it where nothing is drawn, and no art uses it otherwise.
constexpr Colour kSeeThrough = rgb(1, 2, 3);

// 1 where the picture is see-through, 0 where it is drawn.
static Surface seeThroughMask(const Surface& image) {
  Surface mask(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) mask.setPixel(x, y, image.pixel(x, y) == kSeeThrough ? 1 : 0);
  return mask;
}

// The hot spot is the XPM's own: the optional fifth and sixth numbers of its values line.
static PointerPicture makePointer(const char* const* xpm) {
  PointerPicture p;
  p.image = xpmPicture(xpm);
  p.transparency = seeThroughMask(p.image);
  int w = 0, h = 0, colours = 0, chars = 0, hotX = 0, hotY = 0;
  if (std::sscanf(xpm[0], "%d %d %d %d %d %d", &w, &h, &colours, &chars, &hotX, &hotY) == 6 && hotX >= 0 &&
      hotY >= 0 && hotX < p.image.width() && hotY < p.image.height()) {
    p.hotX = hotX;
    p.hotY = hotY;
  }
  return p;
}

const PointerPicture& pointerPicture(PointerImage which) {
  static const PointerPicture click = makePointer(click_pointer_xpm);
  static const PointerPicture keyboard = makePointer(keyboard_pointer_xpm);
  static const PointerPicture none;
  switch (which) {
    case PointerImage::Click: return click;
    case PointerImage::Keyboard: return keyboard;
    default: return none;
  }
}

const Surface& iconPicture() {
  static const Surface icon = xpmPicture(icon_xpm);
  return icon;
}

const Surface& iconTransparency() {
  static const Surface mask = seeThroughMask(iconPicture());
  return mask;
}

}  // namespace vunt
