#include "platform/tile_sheet.hpp"

#include "platform/picture.hpp"

namespace {
#include "assets/tiles.xpm"
}  // namespace

namespace vunt {

const Surface& tileSheet() {
  static const Surface sheet = xpmPicture(tiles_xpm);
  return sheet;
}

}  // namespace vunt
