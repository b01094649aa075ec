#pragma once
// Wave sounds through SDL2_mixer (loaded at the first sound) on one channel, following the rules
// of the Windows sound call (see sound_channel.hpp). The puzzle's sounds and the script's SOUND
// share the channel.
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/sound_channel.hpp"

namespace vunt {

class Host;
struct MixerCalls;

// Whether the mixer, as it is open, may be given this wave file (see wave_check.hpp).
bool waveFitsMixer(std::string_view file);

class MixerSound : private SoundBackend {
 public:
  MixerSound() : channel_(*this) {}
  ~MixerSound() override { close(); }
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

  SoundChannel channel_;
  bool ready_ = false;
  bool tried_ = false;  // open has been tried: a missing device is not tried again at every sound
  const MixerCalls* mix_ = nullptr;  // the mixer's functions, once open has loaded them
  void* chunk_ = nullptr;            // the Mix_Chunk of the channel
  int volume_ = 100;       // percent
  std::uint32_t lastSound_ = 0;  // when a sound was last seen playing
};

}  // namespace vunt
