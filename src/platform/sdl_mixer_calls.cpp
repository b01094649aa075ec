#include "platform/sdl_mixer_calls.hpp"

#ifndef __EMSCRIPTEN__
#include "platform/sdl_library.hpp"
#endif

namespace vunt {

#define VUNT_MIXER_FUNCTIONS(X) \
  X(OpenAudio) X(CloseAudio) X(QuerySpec) X(AllocateChannels) X(Volume) X(LoadWAV_RW) X(FreeChunk) \
  X(PlayChannel) X(Playing) X(HaltChannel)

namespace {

struct Loaded {
  MixerCalls calls{};
  std::string why;
};

Loaded load() {
  Loaded out;
#ifdef __EMSCRIPTEN__
#define VUNT_DIRECT(name) out.calls.name = &::Mix_##name;
  VUNT_MIXER_FUNCTIONS(VUNT_DIRECT)
#undef VUNT_DIRECT
#else
  SharedLibrary library("libSDL2_mixer-2.0.so.0");
#define VUNT_RESOLVE(name) library.resolve(out.calls.name, "Mix_" #name);
  VUNT_MIXER_FUNCTIONS(VUNT_RESOLVE)
#undef VUNT_RESOLVE
  out.why = library.why();
#endif
  return out;
}

}  // namespace

const MixerCalls* mixerCalls(std::string& why) {
  static const Loaded loaded = load();
  if (!loaded.why.empty()) {
    why = "SDL2_mixer cannot be loaded (" + loaded.why + ")";
    return nullptr;
  }
  return &loaded.calls;
}

}  // namespace vunt
