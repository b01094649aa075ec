#pragma once
// The puzzle's tile sheet, drawn as pixel art in assets/tiles.xpm (made by tools/make_tiles.py)
// and compiled in: 160 x 160 pixels, 5 x 5 frames of 32 x 32.
#include "platform/surface.hpp"

namespace vunt {

const Surface& tileSheet();

}  // namespace vunt
