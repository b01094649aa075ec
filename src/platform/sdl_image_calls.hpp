#pragma once
// The SDL2_image functions the engine calls, loaded with the library at the first picture that
// needs it (JPEG, PNG, an icon, a cursor, or a PNG file written): the engine decodes GIF itself
// and SDL bitmaps, so most games never map SDL2_image and the libraries it brings in (libtiff,
// webp, jbig, ...). The browser build links the library and fills the table directly.
#include <SDL_image.h>

#include <string>

namespace vunt {

struct ImageCalls {
  decltype(&::IMG_LoadJPG_RW) LoadJPG_RW;
  decltype(&::IMG_LoadPNG_RW) LoadPNG_RW;
  decltype(&::IMG_LoadICO_RW) LoadICO_RW;
  decltype(&::IMG_LoadCUR_RW) LoadCUR_RW;
  decltype(&::IMG_SavePNG) SavePNG;
  decltype(&::IMG_ReadXPMFromArray) ReadXPMFromArray;
};

// The table, the library loaded at the first call; nullptr when it cannot be loaded, and then
// why says why (at every call: the loading is tried once).
const ImageCalls* imageCalls(std::string& why);

}  // namespace vunt
