#pragma once
// The SDL backend's fonts (FreeType; SDL2_ttf in a browser) and picture codec (SDL2_image), for
// the programs that show text and pictures. This header names no SDL type: the programs' own code may include it.
#include "platform/font.hpp"
#include "platform/picture.hpp"

namespace vunt {

FontBackend& sdlFontBackend();  // the one below that this build draws with
// Text drawn through FreeType by the rules SDL2_ttf follows, pixel for pixel (sdl_ft_font.cpp).
FontBackend& freetypeFontBackend();
// Text drawn through SDL2_ttf: the browser build's fonts; on the desktop only its tests link it, to
// hold the FreeType fonts to it.
FontBackend& ttfFontBackend();
PictureCodec& sdlPictureCodec();
// SDL2_image's reading of an XPM image, to hold the engine's own reader to it.
Surface sdlXpmPicture(const char* const* xpm);

// Registers both with the core. A program that links the object library vunt_sdl_media has this
// done before main() (src/platform/sdl_media_registrar.cpp).
void useSdlMedia();

}  // namespace vunt
