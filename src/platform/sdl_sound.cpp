#include "platform/sdl_sound.hpp"

#include <SDL.h>
#include <SDL_mixer.h>

#include "platform/host.hpp"

namespace vunt {

void MixerSound::open() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
  if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) return;
  Mix_AllocateChannels(1);
  ready_ = true;
}

void MixerSound::close() {
  if (!ready_) return;
  stop();
  Mix_CloseAudio();
  ready_ = false;
}

void MixerSound::stop() {
  if (!ready_) return;
  Mix_HaltChannel(0);
  if (chunk_) Mix_FreeChunk(static_cast<Mix_Chunk*>(chunk_));
  chunk_ = nullptr;
}

bool MixerSound::play(const std::filesystem::path& file, int flags, Host& host) {
  if (!ready_) return false;
  if ((flags & 16) && Mix_Playing(0)) return false;
  stop();
  Mix_Chunk* chunk = Mix_LoadWAV(file.c_str());
  if (!chunk) return false;
  chunk_ = chunk;
  bool loop = (flags & 8) && (flags & 1);
  if (Mix_PlayChannel(0, chunk, loop ? -1 : 0) < 0) return false;
  if (!(flags & 1)) {
    // Synchronous: the caller returns when the sound has ended; the window keeps painting.
    while (Mix_Playing(0)) host.doEvents(WaitKind::Timed, 10);
  }
  return true;
}

}  // namespace vunt
