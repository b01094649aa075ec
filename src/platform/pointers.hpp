#pragma once
// The pictures the program carries in itself: the window icon and the two pointer images, drawn
// as pixel art in assets/ and compiled in, so the program needs no files besides the game's.
#include "platform/controls.hpp"
#include "platform/surface.hpp"

namespace vunt {

struct PointerPicture {
  Surface image;         // 32 x 32
  Surface transparency;  // 1 where the image is see-through, 0 where it is drawn
  int hotX = 0, hotY = 0;
};

const PointerPicture& pointerPicture(PointerImage which);
const Surface& iconPicture();
const Surface& iconTransparency();  // 1 where the icon is see-through, 0 where it is drawn

}  // namespace vunt
