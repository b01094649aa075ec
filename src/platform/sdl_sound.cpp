#include "platform/sdl_sound.hpp"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/alsa_quiet.hpp"
#include "platform/game_files.hpp"
#include "platform/wave_check.hpp"
#include "platform/host.hpp"
#include "platform/sdl_mixer_calls.hpp"

namespace vunt {

void MixerSound::open() {
  if (ready_ || tried_) return;
  tried_ = true;
  // The mixer is loaded here, at the first sound. Without it every sound is silent, as without an
  // audio device, and the player is told once.
  std::string why;
  mix_ = mixerCalls(why);
  if (!mix_) {
    std::fprintf(stderr, "vunt: no sound: %s\n", why.c_str());
    return;
  }
  quietAlsa();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
  if (mix_->OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  mix_->AllocateChannels(1);
  ready_ = true;
  setVolume(volume_);
}

void MixerSound::setVolume(int percent) {
  volume_ = std::clamp(percent, 0, 100);
  if (ready_) mix_->Volume(0, (volume_ * MIX_MAX_VOLUME + 50) / 100);
}

void MixerSound::close() {
  if (!ready_) return;
  halt();
  mix_->CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  ready_ = false;
  tried_ = false;
}

void MixerSound::closeWhenIdle(std::uint32_t now) {
  constexpr std::uint32_t kIdleMs = 2000;
  if (!ready_) return;
  if (mix_->Playing(0)) lastSound_ = now;
  else if (now - lastSound_ >= kIdleMs) close();
}

bool MixerSound::play(const std::filesystem::path& file, int flags, Host& host) {
  // The device opens at the first sound: a game without sounds never pays for it.
  open();
  if (!ready_) return false;
  lastSound_ = SDL_GetTicks();
  // While a synchronous sound plays the window keeps painting and taking input; the wait blocks
  // on the event queue for at most 10 ms at a time.
  return channel_.play(file, flags, [&host] { host.doEvents(WaitKind::Timed, 10); });
}

bool MixerSound::load(const std::filesystem::path& file) {
  // Only wave files, read whole first: a name that leads to a pipe or a device must not hold
  // the game, and a file of another format must not reach the mixer's other decoders.
  std::optional<std::string> bytes = readWholeFile(file, kMaxGameFileBytes * 4);
  if (!bytes || !waveFitsMixer(*bytes)) return false;
  Mix_Chunk* chunk = mix_->LoadWAV_RW(SDL_RWFromConstMem(bytes->data(), int(bytes->size())), 1);
  if (!chunk) return false;
  chunk_ = chunk;
  return true;
}

bool waveFitsMixer(std::string_view file) {
  // The mixer converts the whole sound to the device's format when it loads it. (Without the
  // mixer, or with it closed, the check is the one for the format the device is opened with.)
  WaveOutput output;
  int rate = 0, channels = 0;
  Uint16 format = 0;
  std::string unused;
  const MixerCalls* mix = mixerCalls(unused);
  if (mix && mix->QuerySpec(&rate, &format, &channels) && rate > 0 && channels > 0) {
    output.rate = std::uint32_t(rate);
    output.bytesPerFrame = int(SDL_AUDIO_BITSIZE(format)) / 8 * channels;
  }
  std::string why;
  return bool(checkWave(file, output, why));
}

bool MixerSound::loadAlert() {
  static const std::string wave = alertWave();
  Mix_Chunk* chunk = mix_->LoadWAV_RW(SDL_RWFromConstMem(wave.data(), int(wave.size())), 1);
  if (!chunk) return false;
  chunk_ = chunk;
  return true;
}

bool MixerSound::start(bool loop) {
  if (!chunk_) return false;
  return mix_->PlayChannel(0, static_cast<Mix_Chunk*>(chunk_), loop ? -1 : 0) >= 0;
}

bool MixerSound::playing() { return ready_ && mix_->Playing(0); }

void MixerSound::halt() {
  if (!ready_) return;
  mix_->HaltChannel(0);
  if (chunk_) mix_->FreeChunk(static_cast<Mix_Chunk*>(chunk_));
  chunk_ = nullptr;
}

}  // namespace vunt
