#pragma once
// Wave sounds through SDL2_mixer on one channel, with the flags of the Windows sound call:
// 0 synchronous, 1 asynchronous, 2 no alert sound for a missing file, 8 loop, 16 do not interrupt.
#include <filesystem>

namespace vunt {

class Host;

class MixerSound {
 public:
  void open();   // opens the audio device; without one every sound is silent
  void close();
  // Plays the file; a synchronous sound processes the host's events until it has ended.
  bool play(const std::filesystem::path& file, int flags, Host& host);
  void stop();

 private:
  bool ready_ = false;
  void* chunk_ = nullptr;  // the Mix_Chunk playing or last played
};

}  // namespace vunt
