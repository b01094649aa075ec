#include "platform/wave_check.hpp"

namespace vunt {

namespace {

std::uint32_t le32(std::string_view s, std::size_t at) {
  auto b = [&](std::size_t i) { return std::uint32_t(static_cast<unsigned char>(s[at + i])); };
  return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}
int le16(std::string_view s, std::size_t at) {
  return static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8;
}

// Bits per sample as stored, for the encodings SDL's wave reader decodes; 0 for any other.
int storedBits(int tag, int bits) {
  switch (tag) {
    case 1: return bits == 8 || bits == 16 || bits == 24 || bits == 32 ? bits : 0;  // PCM
    case 3: return bits == 32 || bits == 64 ? bits : 0;                              // float
    case 6: case 7: return bits == 8 ? 8 : 0;                                        // A-law, mu-law
    case 2: case 0x11: return bits == 4 ? 4 : 0;                                     // ADPCM
    default: return 0;
  }
}

std::optional<WaveFormat> refuse(std::string& why, std::string reason) {
  why = std::move(reason);
  return std::nullopt;
}

}  // namespace

std::optional<WaveFormat> checkWave(std::string_view file, const WaveOutput& output, std::string& why) {
  if (file.size() < 12 || file.substr(0, 4) != "RIFF" || file.substr(8, 4) != "WAVE")
    return refuse(why, "no RIFF WAVE file");
  std::optional<WaveFormat> format;
  // Chunks follow one another, each padded to an even length; the RIFF size is not trusted, as
  // many writers get it wrong, but no chunk may claim bytes the file does not have.
  for (std::size_t at = 12; file.size() - at >= 8;) {
    const std::string_view id = file.substr(at, 4);
    const std::uint64_t size = le32(file, at + 4);
    const std::size_t body = at + 8;
    if (size > file.size() - body) return refuse(why, "chunk \"" + std::string(id) + "\" runs past the end of the file");
    if (id == "fmt ") {
      if (size < 16) return refuse(why, "format chunk too short");
      WaveFormat f;
      f.formatTag = le16(file, body);
      f.channels = le16(file, body + 2);
      f.rate = le32(file, body + 4);
      f.bitsPerSample = le16(file, body + 14);
      if (f.formatTag == 0xFFFE) {  // WAVE_FORMAT_EXTENSIBLE: the encoding opens the sub-format GUID
        if (size < 40) return refuse(why, "extensible format chunk too short");
        f.formatTag = le16(file, body + 24);
      }
      if (storedBits(f.formatTag, f.bitsPerSample) == 0)
        return refuse(why, "unsupported encoding " + std::to_string(f.formatTag) + " with " +
                               std::to_string(f.bitsPerSample) + " bits");
      if (f.channels < 1 || f.channels > 2) return refuse(why, std::to_string(f.channels) + " channels");
      if (f.rate < kMinWaveRate || f.rate > kMaxWaveRate) return refuse(why, "rate " + std::to_string(f.rate) + " Hz");
      format = f;
    } else if (id == "data") {
      if (!format) return refuse(why, "data before the format chunk");
      format->dataBytes = size;
      format->frames = size * 8 / (std::uint64_t(format->bitsPerSample) * std::uint64_t(format->channels));
      // Rounded up, as the converter does; every factor is small, so nothing overflows.
      const std::uint64_t outFrames = (format->frames * output.rate + format->rate - 1) / format->rate;
      if (outFrames * std::uint64_t(output.bytesPerFrame) > kMaxConvertedWaveBytes)
        return refuse(why, "sound too long: " + std::to_string(format->frames) + " frames at " +
                               std::to_string(format->rate) + " Hz");
      return format;
    }
    at = body + std::size_t(size) + (size & 1);
    if (at > file.size()) break;
  }
  return refuse(why, format ? "no data chunk" : "no format chunk");
}

}  // namespace vunt
