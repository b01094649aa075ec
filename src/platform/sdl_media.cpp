#include "platform/sdl_media.hpp"

namespace vunt {

FontBackend& sdlFontBackend() {
#ifdef __EMSCRIPTEN__
  return ttfFontBackend();
#else
  return freetypeFontBackend();
#endif
}

void useSdlMedia() {
  setFontBackend(&sdlFontBackend());
  setPictureCodec(&sdlPictureCodec());
}

}  // namespace vunt
