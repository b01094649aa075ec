#pragma once
// Whether a game controller may be plugged in, read from the kernel's list of input devices, and
// a watch for devices that arrive later. Starting SDL's game controller layer reads its whole
// table of pad layouts and the device manager's list (about a millisecond and 0.4 MiB at every
// start); a machine with no pad leaves it until one arrives.
#include <filesystem>
#include <string_view>

namespace vunt {

// From an input device's capability bitmaps as the kernel writes them (hexadecimal words of
// wordBits bits, the highest first): true when it has a joystick's or a pad's buttons, or axes
// that only sticks, wheels and pedals have. Keyboards, mice, touchpads and tablets are no pads.
bool mayBeGamePad(std::string_view keyBits, std::string_view absBits, int wordBits = int(sizeof(long)) * 8);

enum class PadPresence { Maybe, None, Unknown };
// Maybe when a device under sysClassInput may be a pad (or a joystick node js* is in devInput);
// Unknown when the list cannot be read, which counts as Maybe.
PadPresence padPresence(const std::filesystem::path& sysClassInput = "/sys/class/input",
                        const std::filesystem::path& devInput = "/dev/input");

// Watches a folder of device nodes for new ones, and its parent for the folder and for nodes such
// as hidraw that some pads are read through (Linux's inotify; elsewhere start() fails).
class PadWatch {
 public:
  PadWatch() = default;
  PadWatch(const PadWatch&) = delete;
  PadWatch& operator=(const PadWatch&) = delete;
  ~PadWatch() { stop(); }

  bool start(const std::filesystem::path& devInput = "/dev/input");
  void stop();
  bool watching() const { return fd_ >= 0; }
  // True when a node has appeared since the last call (in the folder, or beside it); never waits.
  bool deviceAdded();

 private:
  int fd_ = -1;
  std::filesystem::path dir_;
};

}  // namespace vunt
