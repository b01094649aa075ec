#include "platform/sound_channel.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vunt {

bool SoundChannel::play(const std::filesystem::path& file, int flags, const std::function<void()>& wait) {
  if ((flags & soundflag::NoStop) && backend_.playing()) return false;
  backend_.halt();
  bool async = flags & soundflag::Async;
  bool found = backend_.load(file);
  if (!found) {
    // The file is missing or not a sound: the alert plays in its place, once, with the same
    // timing, unless the caller asked for silence.
    if ((flags & soundflag::NoDefault) || !backend_.loadAlert()) return false;
  }
  bool loop = found && async && (flags & soundflag::Loop);
  if (!backend_.start(loop)) return false;
  if (!async) {
    while (backend_.playing()) wait();
  }
  return found;
}

namespace {

void put16(std::string& s, std::uint16_t v) {
  s += char(v & 0xFF);
  s += char(v >> 8);
}
void put32(std::string& s, std::uint32_t v) {
  put16(s, std::uint16_t(v & 0xFFFF));
  put16(s, std::uint16_t(v >> 16));
}

}  // namespace

std::string alertWave() {
  constexpr int kRate = 22050;
  constexpr double kPi = 3.14159265358979323846;
  // Two short tones, a fifth apart, each with a quick attack and an exponential fade.
  struct Tone { double hz; int start, length; };
  constexpr Tone tones[] = {{880.0, 0, kRate * 11 / 100}, {1318.5, kRate * 9 / 100, kRate * 16 / 100}};
  const int total = tones[1].start + tones[1].length;
  std::string samples;
  samples.reserve(std::size_t(total) * 2);
  for (int i = 0; i < total; ++i) {
    double v = 0;
    for (const Tone& t : tones) {
      int k = i - t.start;
      if (k < 0 || k >= t.length) continue;
      double attack = std::min(1.0, k / (kRate * 0.004));
      double fade = std::exp(-4.0 * k / t.length);
      v += std::sin(2 * kPi * t.hz * k / kRate) * attack * fade;
    }
    put16(samples, std::uint16_t(std::int16_t(std::lround(std::clamp(v * 0.35, -1.0, 1.0) * 32767))));
  }
  std::string wav = "RIFF";
  put32(wav, std::uint32_t(36 + samples.size()));
  wav += "WAVEfmt ";
  put32(wav, 16);
  put16(wav, 1);  // PCM
  put16(wav, 1);  // mono
  put32(wav, kRate);
  put32(wav, kRate * 2);
  put16(wav, 2);
  put16(wav, 16);
  wav += "data";
  put32(wav, std::uint32_t(samples.size()));
  return wav + samples;
}

}  // namespace vunt
