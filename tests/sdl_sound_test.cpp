// Sounds through SDL's own audio, heard through SDL's disk audio driver, which writes what the
// device plays to a file: a sound plays once, whole and at once, then silence; a looping sound
// repeats without a gap until it is stopped; a file is converted to the device's format whole.
#include <gtest/gtest.h>
#include <SDL.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/headless_host.hpp"
#include "platform/sdl_sound.hpp"
#include "platform/sound_channel.hpp"

using namespace vunt;
namespace fs = std::filesystem;

namespace {

void put(std::string& s, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s += char(v >> (8 * i));
}

// A 16-bit stereo wave at 44.1 kHz, the device's own format, whose samples are never 0.
std::string deviceWave(int frames) {
  std::string samples;
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < 2; ++c) put(samples, std::uint32_t(1000 + (i * 37 + c * 5000) % 20000), 2);
  std::string w = "RIFF";
  put(w, std::uint32_t(36 + samples.size()), 4);
  w += "WAVEfmt ";
  put(w, 16, 4), put(w, 1, 2), put(w, 2, 2), put(w, 44100, 4), put(w, 44100 * 4, 4), put(w, 4, 2), put(w, 16, 2);
  w += "data";
  put(w, std::uint32_t(samples.size()), 4);
  return w + samples;
}

std::string readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The sound device writes to a file; the game's folder holds one sound.
class SdlSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vunt-sdl-sound-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", (dir_ / "played.raw").c_str(), 1);
    sound_ = deviceWave(2000);
    std::ofstream(dir_ / "s.wav", std::ios::binary) << sound_;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // What the device played from the first sample that is not silence on.
  std::string heard() {
    const std::string all = readAll(dir_ / "played.raw");
    std::size_t first = all.find_first_not_of('\0');
    EXPECT_NE(first, std::string::npos) << "nothing played";
    if (first == std::string::npos) return {};
    return all.substr(first - first % 4);
  }
  std::string samples() const { return sound_.substr(44); }

  fs::path dir_;
  std::string sound_;
  std::ostringstream transcript_;
  HeadlessHost host_{{}, transcript_};  // its waits return at once: a synchronous sound polls
  SdlSound device_;
};

}  // namespace

TEST_F(SdlSoundTest, SoundPlaysOnceWholeThenSilence) {
  ASSERT_TRUE(device_.play(dir_ / "s.wav", soundflag::NoDefault, host_));  // returns when it has ended
  SDL_Delay(100);
  device_.close();
  const std::string h = heard();
  ASSERT_GE(h.size(), samples().size());
  EXPECT_TRUE(h.compare(0, samples().size(), samples()) == 0) << "the sound as the file holds it";
  EXPECT_EQ(h.find_first_not_of('\0', samples().size()), std::string::npos) << "silence after it";
}

TEST_F(SdlSoundTest, LoopingSoundRepeatsWithoutAGapUntilStopped) {
  // 2000 frames (45 ms), looped for about 300 ms, at half the volume.
  device_.setVolume(50);
  ASSERT_TRUE(device_.play(dir_ / "s.wav", soundflag::Async | soundflag::Loop, host_));
  SDL_Delay(300);
  device_.stop();
  SDL_Delay(100);
  device_.close();
  // At half the volume each sample is mixed onto silence as SDL mixes it at 64 of 128.
  std::string half(samples().size(), '\0');
  SDL_MixAudioFormat(reinterpret_cast<Uint8*>(half.data()), reinterpret_cast<const Uint8*>(samples().data()),
                     AUDIO_S16SYS, Uint32(half.size()), SDL_MIX_MAXVOLUME / 2);
  const std::string h = heard();
  ASSERT_GE(h.size(), 3 * half.size());
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(h.compare(k * half.size(), half.size(), half) == 0) << "repetition " << k;
  // Stopped: the last buffers are silent.
  EXPECT_EQ(h.find_first_not_of('\0', h.size() - 4096), std::string::npos);
}

TEST(SdlSoundDecoding, DeviceFormatTakenAsItIsOthersConvertedWhole) {
  SDL_AudioSpec device{};
  device.freq = 44100, device.format = AUDIO_S16SYS, device.channels = 2;
  const std::string own = deviceWave(300);
  Uint8* samples = nullptr;
  Uint32 bytes = 0;
  ASSERT_TRUE(decodeWave(own, device, samples, bytes));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(samples), bytes), own.substr(44));
  SDL_free(samples);
  // 8-bit mono at 22.05 kHz (15,434 frames): twice as many frames of four bytes.
  const std::string chime = readAll(fs::path(VUNT_GAME_DIR) / "chime.wav");
  ASSERT_TRUE(waveFits(chime, device));
  ASSERT_TRUE(decodeWave(chime, device, samples, bytes));
  EXPECT_EQ(bytes % 4, 0u);
  EXPECT_NEAR(double(bytes) / 4, 2 * 15434, 4);
  SDL_free(samples);
  // A file whose header says more than it holds is refused whole.
  EXPECT_FALSE(decodeWave(own.substr(0, 30), device, samples, bytes));
}
