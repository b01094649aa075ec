#include "platform/sdl_sound.hpp"

#include <algorithm>
#include <optional>
#include <string>

#include "platform/alsa_quiet.hpp"
#include "platform/game_files.hpp"
#include "platform/host.hpp"
#include "platform/wave_check.hpp"

namespace vunt {

bool waveFits(std::string_view file, const SDL_AudioSpec& device) {
  // The whole sound is converted to the device's format when it is loaded.
  WaveOutput output;
  if (device.freq > 0 && device.channels > 0) {
    output.rate = std::uint32_t(device.freq);
    output.bytesPerFrame = int(SDL_AUDIO_BITSIZE(device.format)) / 8 * device.channels;
  }
  std::string why;
  return bool(checkWave(file, output, why));
}

bool decodeWave(std::string_view file, const SDL_AudioSpec& device, Uint8*& samples, Uint32& bytes) {
  SDL_AudioSpec wave;
  Uint8* buffer = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV_RW(SDL_RWFromConstMem(file.data(), int(file.size())), 1, &wave, &buffer, &length)) return false;
  if (wave.format != device.format || wave.channels != device.channels || wave.freq != device.freq) {
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, wave.format, wave.channels, wave.freq, device.format, device.channels, device.freq) < 0) {
      SDL_free(buffer);
      return false;
    }
    // Whole sample frames of the file, converted in a buffer large enough for the result.
    const Uint32 frame = SDL_AUDIO_BITSIZE(wave.format) / 8 * wave.channels;
    cvt.len = int(length & ~(frame - 1));
    cvt.buf = static_cast<Uint8*>(SDL_calloc(1, std::size_t(cvt.len) * std::size_t(cvt.len_mult)));
    if (!cvt.buf) {
      SDL_free(buffer);
      return false;
    }
    SDL_memcpy(cvt.buf, buffer, std::size_t(cvt.len));
    SDL_free(buffer);
    if (SDL_ConvertAudio(&cvt) < 0) {
      SDL_free(cvt.buf);
      return false;
    }
    buffer = cvt.buf;
    length = Uint32(cvt.len_cvt);
  }
  samples = buffer;
  bytes = length;
  return true;
}

void SdlSound::open() {
  if (ready_ || tried_) return;
  tried_ = true;
  quietAlsa();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
  // 16-bit stereo at 44.1 kHz in buffers of 1024 frames, or the rate and channels the device
  // prefers (SDL converts any other sample format).
  SDL_AudioSpec want{};
  want.freq = 44100;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = &SdlSound::mix;
  want.userdata = this;
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &spec_, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
  if (device_ == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  ready_ = true;
  setVolume(volume_);
  SDL_PauseAudioDevice(device_, 0);
}

void SdlSound::setVolume(int percent) {
  volume_ = std::clamp(percent, 0, 100);
  if (!ready_) return;
  SDL_LockAudioDevice(device_);
  voice_.volume = (volume_ * SDL_MIX_MAXVOLUME + 50) / 100;
  SDL_UnlockAudioDevice(device_);
}

void SdlSound::close() {
  if (!ready_) return;
  halt();
  SDL_CloseAudioDevice(device_);
  device_ = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  ready_ = false;
  tried_ = false;
}

void SdlSound::closeWhenIdle(std::uint32_t now) {
  constexpr std::uint32_t kIdleMs = 2000;
  if (!ready_) return;
  if (playing()) lastSound_ = now;
  else if (now - lastSound_ >= kIdleMs) close();
}

bool SdlSound::play(const std::filesystem::path& file, int flags, Host& host) {
  // The device opens at the first sound: a game without sounds never pays for it.
  open();
  if (!ready_) return false;
  lastSound_ = SDL_GetTicks();
  // While a synchronous sound plays the window keeps painting and taking input; the wait blocks
  // on the event queue for at most 10 ms at a time.
  return channel_.play(file, flags, [&host] { host.doEvents(WaitKind::Timed, 10); });
}

bool SdlSound::take(std::string_view file) {
  Uint8* samples = nullptr;
  Uint32 bytes = 0;
  if (!decodeWave(file, spec_, samples, bytes)) return false;
  sound_ = samples;
  soundBytes_ = bytes;
  return true;
}

bool SdlSound::load(const std::filesystem::path& file) {
  // Only wave files, read whole first: a name that leads to a pipe or a device must not hold
  // the game, and a header whose conversion would crash, stall or take gigabytes is refused.
  std::optional<std::string> bytes = readWholeFile(file, kMaxGameFileBytes * 4);
  return bytes && waveFits(*bytes, spec_) && take(*bytes);
}

bool SdlSound::loadAlert() {
  static const std::string wave = alertWave();
  return take(wave);
}

bool SdlSound::start(bool loop) {
  // Whole frames of the device's format; a sound shorter than one does not start.
  const Uint32 frame = SDL_AUDIO_BITSIZE(spec_.format) / 8 * spec_.channels;
  const Uint32 bytes = frame ? soundBytes_ - soundBytes_ % frame : 0;
  if (!sound_ || bytes == 0) return false;
  SDL_LockAudioDevice(device_);
  voice_.samples = sound_;
  voice_.bytes = bytes;
  voice_.at = 0;
  voice_.on = true;
  voice_.loop = loop;
  SDL_UnlockAudioDevice(device_);
  return true;
}

bool SdlSound::playing() {
  if (!ready_) return false;
  SDL_LockAudioDevice(device_);
  const bool on = voice_.on;
  SDL_UnlockAudioDevice(device_);
  return on;
}

void SdlSound::halt() {
  if (!ready_) return;
  SDL_LockAudioDevice(device_);
  voice_.on = false;
  voice_.samples = nullptr;
  SDL_UnlockAudioDevice(device_);
  SDL_free(sound_);
  sound_ = nullptr;
  soundBytes_ = 0;
}

void SDLCALL SdlSound::mix(void* self, Uint8* stream, int len) {
  // Runs on the device's thread with the device locked. The buffer starts silent; the voice is
  // added at its volume, from the start again when it loops, until the buffer is full.
  SdlSound& s = *static_cast<SdlSound*>(self);
  SDL_memset(stream, s.spec_.silence, std::size_t(len));
  Voice& v = s.voice_;
  Uint32 index = 0;
  while (v.on && index < Uint32(len)) {
    const Uint32 n = std::min(v.bytes - v.at, Uint32(len) - index);
    SDL_MixAudioFormat(stream + index, v.samples + v.at, s.spec_.format, n, v.volume);
    v.at += n;
    index += n;
    if (v.at < v.bytes) continue;
    if (v.loop) v.at = 0;
    else v.on = false;
  }
}

}  // namespace vunt
