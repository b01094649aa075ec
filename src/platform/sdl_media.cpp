#include "platform/sdl_media.hpp"

namespace vunt {

void useSdlMedia() {
  setFontBackend(&sdlFontBackend());
  setPictureCodec(&sdlPictureCodec());
}

}  // namespace vunt
