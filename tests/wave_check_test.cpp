// The wave header check that stands before SDL's wave reader: what it lets through and what it
// refuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/sound_channel.hpp"
#include "platform/wave_check.hpp"

using namespace vunt;

namespace {

void put16(std::string& s, unsigned v) { s += char(v & 0xFF), s += char(v >> 8 & 0xFF); }
void put32(std::string& s, std::uint32_t v) { put16(s, v & 0xFFFF), put16(s, v >> 16); }

struct Wave {
  int tag = 1, channels = 1, bits = 8;
  std::uint32_t rate = 8000;
  std::uint32_t dataBytes = 100;
  std::uint32_t storedBytes = 100;  // what the file really holds of the data
  bool extensible = false;

  std::string bytes() const {
    std::string fmt;
    put16(fmt, extensible ? 0xFFFE : unsigned(tag));
    put16(fmt, unsigned(channels));
    put32(fmt, rate);
    put32(fmt, rate * unsigned(channels * bits / 8));
    put16(fmt, unsigned(channels * bits / 8));
    put16(fmt, unsigned(bits));
    if (extensible) {
      put16(fmt, 22);
      put16(fmt, unsigned(bits));
      put32(fmt, 3);
      put16(fmt, unsigned(tag));
      fmt += std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    }
    std::string w = "RIFF";
    put32(w, std::uint32_t(4 + 8 + fmt.size() + 8 + storedBytes));
    w += "WAVEfmt ";
    put32(w, std::uint32_t(fmt.size()));
    w += fmt + "data";
    put32(w, dataBytes);
    return w + std::string(storedBytes, '\x80');
  }
};

bool accepted(const Wave& w) {
  std::string why;
  bool ok = bool(checkWave(w.bytes(), WaveOutput{}, why));
  EXPECT_EQ(ok, why.empty()) << why;
  return ok;
}

}  // namespace

TEST(WaveCheck, OrdinaryWavesPass) {
  std::string why;
  std::optional<WaveFormat> f = checkWave(alertWave(), WaveOutput{}, why);
  ASSERT_TRUE(f) << why;
  EXPECT_EQ(f->channels, 1);
  EXPECT_EQ(f->rate, 22050u);
  EXPECT_GT(f->frames, 1000u);

  Wave stereo{.channels = 2, .bits = 16, .rate = 44100, .dataBytes = 4000, .storedBytes = 4000};
  f = checkWave(stereo.bytes(), WaveOutput{}, why);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->frames, 1000u);
  EXPECT_TRUE(accepted({.tag = 3, .bits = 32, .extensible = true}));
  EXPECT_TRUE(accepted({.tag = 7}));  // mu-law
  // A chunk after the data and an odd-sized chunk before it are skipped as they should be.
  std::string extra = Wave{}.bytes();
  extra.insert(12, std::string("LIST\x03\x00\x00\x00" "abc\0", 12));
  extra += std::string("LIST\x02\x00\x00\x00" "ab", 10);
  EXPECT_TRUE(checkWave(extra, WaveOutput{}, why)) << why;
}

TEST(WaveCheck, RatesAndChannelsOutsideTheUsualRangeAreRefused) {
  EXPECT_TRUE(accepted({.rate = 4000}));
  EXPECT_TRUE(accepted({.rate = 192000}));
  EXPECT_FALSE(accepted({.rate = 3999}));
  EXPECT_FALSE(accepted({.rate = 1000}));
  EXPECT_FALSE(accepted({.rate = 192001}));
  EXPECT_FALSE(accepted({.rate = 0}));
  EXPECT_FALSE(accepted({.channels = 0}));
  EXPECT_FALSE(accepted({.channels = 3}));
  EXPECT_TRUE(accepted({.channels = 2}));
  EXPECT_FALSE(accepted({.tag = 0x55, .bits = 0}));  // MP3 inside a wave file
  EXPECT_FALSE(accepted({.bits = 12}));
}

TEST(WaveCheck, SoundsTooLongOnceConvertedAreRefused) {
  // 4 kHz 8-bit mono grows 44.1 times on the way to 44.1 kHz 16-bit stereo: 64 MiB of output
  // is 1,521,742 input frames.
  EXPECT_TRUE(accepted({.rate = 4000, .dataBytes = 1521742, .storedBytes = 1521742}));
  EXPECT_FALSE(accepted({.rate = 4000, .dataBytes = 1521743, .storedBytes = 1521743}));
  // The output format counts: a mono 8-bit device takes four times as long a sound.
  std::string why;
  Wave w{.rate = 4000, .dataBytes = 4000000, .storedBytes = 4000000};
  EXPECT_FALSE(checkWave(w.bytes(), WaveOutput{}, why));
  EXPECT_TRUE(checkWave(w.bytes(), WaveOutput{.rate = 44100, .bytesPerFrame = 1}, why));
}

TEST(WaveCheck, DataPastTheEndAndBrokenLayoutsAreRefused) {
  EXPECT_FALSE(accepted({.dataBytes = 101, .storedBytes = 100}));
  EXPECT_FALSE(accepted({.dataBytes = 0xFFFFFFFF, .storedBytes = 100}));
  std::string why;
  std::string w = Wave{}.bytes();
  EXPECT_FALSE(checkWave(w.substr(0, 30), WaveOutput{}, why));  // cut inside the format chunk
  EXPECT_FALSE(checkWave(w.substr(0, 36), WaveOutput{}, why));  // no data chunk
  EXPECT_FALSE(checkWave(std::string_view("RIFF\0\0\0\0WAVE", 12), WaveOutput{}, why));
  EXPECT_FALSE(checkWave("RIFX", WaveOutput{}, why));
  const std::string dataFirst("RIFF\0\0\0\0WAVEdata\0\0\0\0", 20);
  EXPECT_FALSE(checkWave(dataFirst, WaveOutput{}, why));
  std::string shortFmt = w;
  shortFmt[16] = 8;  // a format chunk of 8 bytes
  EXPECT_FALSE(checkWave(shortFmt, WaveOutput{}, why));
}
