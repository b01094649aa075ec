// The sound loading path of SOUND and the puzzle's sounds, on the bytes of a ".wav" file: the
// engine's header check, then, for what it lets through, SDL2_mixer's loader and conversion to
// the output format, on the dummy audio driver. The mixer is the engine's own, loaded at first use.
//
// Beyond the sanitizers: a sound the check lets through converts to at most the size the check
// allows.
#include <SDL.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.hpp"
#include "platform/sdl_mixer_calls.hpp"
#include "platform/sdl_sound.hpp"
#include "platform/wave_check.hpp"

using namespace vunt;

namespace {
const MixerCalls* mix = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::string why;
  mix = mixerCalls(why);
  if (!mix || SDL_Init(SDL_INIT_AUDIO) != 0 || mix->OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  std::string why;
  const bool passes = bool(checkWave(file, WaveOutput{}, why));
  VUNT_FUZZ_CHECK(passes == why.empty(), "a refused sound says why, an accepted one does not");
  VUNT_FUZZ_CHECK(waveFitsMixer(file) == passes, "the mixer's check is the header check at 44.1 kHz stereo");
  if (!passes) return 0;
  Mix_Chunk* chunk = mix->LoadWAV_RW(SDL_RWFromConstMem(data, int(size)), 1);
  if (chunk) {
    VUNT_FUZZ_CHECK(chunk->alen <= kMaxConvertedWaveBytes + 4096, "the converted sound stays within the bound");
    mix->FreeChunk(chunk);
  }
  return 0;
}
