#pragma once
// The SDL2_mixer functions the engine calls, loaded with the library at the first sound: a game
// that plays none never maps the mixer and the decoders it brings in (fluidsynth, modplug, opus,
// vorbis, ...). The browser build links the library and fills the table directly.
#include <SDL_mixer.h>

#include <string>

namespace vunt {

struct MixerCalls {
  decltype(&::Mix_OpenAudio) OpenAudio;
  decltype(&::Mix_CloseAudio) CloseAudio;
  decltype(&::Mix_QuerySpec) QuerySpec;
  decltype(&::Mix_AllocateChannels) AllocateChannels;
  decltype(&::Mix_Volume) Volume;
  decltype(&::Mix_LoadWAV_RW) LoadWAV_RW;
  decltype(&::Mix_FreeChunk) FreeChunk;
  decltype(&::Mix_PlayChannel) PlayChannel;
  decltype(&::Mix_Playing) Playing;
  decltype(&::Mix_HaltChannel) HaltChannel;
};

// The table, the library loaded at the first call; nullptr when it cannot be loaded, and then
// why says why (at every call: the loading is tried once).
const MixerCalls* mixerCalls(std::string& why);

}  // namespace vunt
