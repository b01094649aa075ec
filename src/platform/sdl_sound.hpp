#pragma once
// Wave sounds through SDL's own audio on one channel, following the rules of the Windows sound call
// (see sound_channel.hpp). The puzzle's sounds and the script's SOUND share the channel. SDL reads
// the wave file, converts it whole to the device's format and the device's thread mixes it at the
// chosen volume: what SDL2_mixer did with one channel, without loading a mixer and the 13
// libraries of decoders and more that it brings in (fluidsynth, modplug, opus, vorbis, ...).
#include <SDL.h>

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/sound_channel.hpp"

namespace vunt {

class Host;

// Whether a device of this format may be given this wave file (see wave_check.hpp).
bool waveFits(std::string_view file, const SDL_AudioSpec& device);

// A wave file as a device of this format plays it: SDL's reading of the file, converted whole to
// the device's sample format, channels and rate. The samples are SDL's to free (SDL_free); false
// when the file cannot be read or converted.
bool decodeWave(std::string_view file, const SDL_AudioSpec& device, Uint8*& samples, Uint32& bytes);

class SdlSound : private SoundBackend {
 public:
  SdlSound() : channel_(*this) {}
  ~SdlSound() override { close(); }
  SdlSound(const SdlSound&) = delete;
  SdlSound& operator=(const SdlSound&) = delete;
  // Opens the audio device, once (play calls it); without one every sound is silent.
  void open();
  void close();
  // Plays the file; a synchronous sound processes the host's events until it has ended.
  bool play(const std::filesystem::path& file, int flags, Host& host);
  void stop() { channel_.stop(); }
  // The volume of every sound from now on, in percent.
  void setVolume(int percent);
  // Closes the device when no sound has played for a while (now: SDL's milliseconds): an open
  // device wakes its thread for every buffer even in silence, so a long wait for the player would
  // never be idle. The next sound opens it again.
  void closeWhenIdle(std::uint32_t now);

 private:
  bool load(const std::filesystem::path& file) override;
  bool loadAlert() override;
  bool start(bool loop) override;
  bool playing() override;
  void halt() override;
  bool take(std::string_view file);  // makes the decoded file the channel's sound
  static void SDLCALL mix(void* self, Uint8* stream, int len);

  // What the device's thread plays: changed only with the device locked.
  struct Voice {
    const Uint8* samples = nullptr;
    Uint32 bytes = 0, at = 0;
    bool on = false, loop = false;
    int volume = SDL_MIX_MAXVOLUME;
  };

  SoundChannel channel_;
  bool ready_ = false;
  bool tried_ = false;  // open has been tried: a missing device is not tried again at every sound
  SDL_AudioDeviceID device_ = 0;
  SDL_AudioSpec spec_{};           // the device's format, as opened
  Uint8* sound_ = nullptr;         // the channel's sound in that format
  Uint32 soundBytes_ = 0;
  Voice voice_;
  int volume_ = 100;             // percent
  std::uint32_t lastSound_ = 0;  // when a sound was last seen playing
};

}  // namespace vunt
