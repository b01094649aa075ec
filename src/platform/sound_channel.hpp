#pragma once
// The rules of the Windows sound call on one channel, apart from the device that plays it:
//   0  synchronous: the call returns when the sound has ended
//   1  asynchronous: the call returns at once
//   2  no alert sound when the file cannot be played
//   8  repeat until stopped (only together with 1)
//  16  do not interrupt: the request fails while a sound is playing
// Only one sound plays at a time: any other request stops the playing sound first. A file that
// cannot be played is replaced by the built-in alert sound unless bit 2 is set.
#include <filesystem>
#include <functional>
#include <string>

namespace vunt {

namespace soundflag {
constexpr int Async = 1, NoDefault = 2, Memory = 4, Loop = 8, NoStop = 16;
}

// A device with one channel that holds one sound at a time.
class SoundBackend {
 public:
  virtual ~SoundBackend() = default;
  // Makes the file the channel's sound; false when it cannot be read or decoded.
  virtual bool load(const std::filesystem::path& file) = 0;
  // Makes the built-in alert sound the channel's sound.
  virtual bool loadAlert() = 0;
  // Starts the channel's sound, once or repeating.
  virtual bool start(bool loop) = 0;
  virtual bool playing() = 0;
  // Stops the channel and drops its sound.
  virtual void halt() = 0;
};

class SoundChannel {
 public:
  explicit SoundChannel(SoundBackend& backend) : backend_(backend) {}
  // Plays the file with the flags; a synchronous sound calls wait (which lets the window paint)
  // until it has ended. Returns whether the file's own sound started.
  bool play(const std::filesystem::path& file, int flags, const std::function<void()>& wait);
  // Stops any sound, silently.
  void stop() { backend_.halt(); }

 private:
  SoundBackend& backend_;
};

// The built-in alert sound: a short two-tone chime as a complete 16-bit mono wave file.
std::string alertWave();

}  // namespace vunt
