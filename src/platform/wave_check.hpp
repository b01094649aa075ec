#pragma once
// The header of a wave file, read by the engine before SDL's wave reader sees the file. A whole
// sound is converted to the device's format in memory at load time, and some headers make that
// conversion crash, stall or allocate gigabytes; those files are refused here as unreadable.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vunt {

struct WaveFormat {
  int formatTag = 0;         // 1 PCM, 3 IEEE float, 2 and 0x11 ADPCM, 6 A-law, 7 mu-law
  int channels = 0;
  std::uint32_t rate = 0;    // sample frames a second
  int bitsPerSample = 0;
  std::uint64_t dataBytes = 0;
  std::uint64_t frames = 0;  // sample frames in the data chunk
};

// The output format every sound is converted to.
struct WaveOutput {
  std::uint32_t rate = 44100;
  int bytesPerFrame = 4;  // 16-bit stereo
};

constexpr std::uint32_t kMinWaveRate = 4000, kMaxWaveRate = 192000;
constexpr std::uint64_t kMaxConvertedWaveBytes = 64ull << 20;

// Checks a whole RIFF WAVE file: a "fmt " chunk of a known encoding with 1 or 2 channels and a
// rate of 4 to 192 kHz, then a "data" chunk that lies inside the file and whose sound, converted
// to the output format, takes at most 64 MiB. Nothing, and the reason in why, otherwise.
std::optional<WaveFormat> checkWave(std::string_view file, const WaveOutput& output, std::string& why);

}  // namespace vunt
