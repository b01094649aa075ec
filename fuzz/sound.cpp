// The sound loading path of SOUND and the puzzle's sounds, on the bytes of a ".wav" file: the
// engine's header check, then, for what it lets through, SDL's wave reader and the conversion to
// the output format (16-bit stereo at 44.1 kHz, as the device is asked for), as the game plays it.
//
// Beyond the sanitizers: a sound the check lets through converts to at most the size the check
// allows.
#include <SDL.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.hpp"
#include "platform/sdl_sound.hpp"
#include "platform/wave_check.hpp"

using namespace vunt;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  std::string why;
  const bool passes = bool(checkWave(file, WaveOutput{}, why));
  VUNT_FUZZ_CHECK(passes == why.empty(), "a refused sound says why, an accepted one does not");
  SDL_AudioSpec device{};
  device.freq = 44100;
  device.format = AUDIO_S16SYS;
  device.channels = 2;
  VUNT_FUZZ_CHECK(waveFits(file, device) == passes, "the device's check is the header check at 44.1 kHz stereo");
  if (!passes) return 0;
  Uint8* samples = nullptr;
  Uint32 bytes = 0;
  if (decodeWave(file, device, samples, bytes)) {
    VUNT_FUZZ_CHECK(bytes <= kMaxConvertedWaveBytes + 4096, "the converted sound stays within the bound");
    SDL_free(samples);
  }
  return 0;
}
