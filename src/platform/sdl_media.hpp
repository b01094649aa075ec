#pragma once
// The SDL backend's fonts (SDL2_ttf) and picture codec (SDL2_image), for the programs that show
// text and pictures. This header names no SDL type: the programs' own code may include it.
#include "platform/font.hpp"
#include "platform/picture.hpp"

namespace vunt {

FontBackend& sdlFontBackend();
PictureCodec& sdlPictureCodec();
// SDL2_image's reading of an XPM image, to hold the engine's own reader to it.
Surface sdlXpmPicture(const char* const* xpm);

// Registers both with the core. A program that links the object library vunt_sdl_media has this
// done before main() (src/platform/sdl_media_registrar.cpp).
void useSdlMedia();

}  // namespace vunt
