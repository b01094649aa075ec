#include "platform/sdl_image_calls.hpp"

#ifndef __EMSCRIPTEN__
#include "platform/sdl_library.hpp"
#endif

namespace vunt {

#define VUNT_IMAGE_FUNCTIONS(X) \
  X(LoadJPG_RW) X(LoadPNG_RW) X(LoadICO_RW) X(LoadCUR_RW) X(SavePNG) X(ReadXPMFromArray)

namespace {

struct Loaded {
  ImageCalls calls{};
  std::string why;
};

Loaded load() {
  Loaded out;
#ifdef __EMSCRIPTEN__
#define VUNT_DIRECT(name) out.calls.name = &::IMG_##name;
  VUNT_IMAGE_FUNCTIONS(VUNT_DIRECT)
#undef VUNT_DIRECT
#else
  SharedLibrary library("libSDL2_image-2.0.so.0");
#define VUNT_RESOLVE(name) library.resolve(out.calls.name, "IMG_" #name);
  VUNT_IMAGE_FUNCTIONS(VUNT_RESOLVE)
#undef VUNT_RESOLVE
  out.why = library.why();
#endif
  return out;
}

}  // namespace

const ImageCalls* imageCalls(std::string& why) {
  static const Loaded loaded = load();
  if (!loaded.why.empty()) {
    why = "SDL2_image cannot be loaded (" + loaded.why + ")";
    return nullptr;
  }
  return &loaded.calls;
}

}  // namespace vunt
