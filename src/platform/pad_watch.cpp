#include "platform/pad_watch.hpp"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#ifdef __linux__
#include <sys/inotify.h>
#include <unistd.h>
#endif

namespace vunt {

namespace {

// The set bits of a kernel bitmap: words highest first, each wordBits wide.
std::vector<bool> bitsOf(std::string_view text, int wordBits) {
  std::vector<std::string_view> words;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t end = std::min(text.find_first_of(" \n", i), text.size());
    if (end > i) words.push_back(text.substr(i, end - i));
    i = end + 1;
  }
  std::vector<bool> bits(words.size() * std::size_t(wordBits));
  for (std::size_t w = 0; w < words.size(); ++w) {
    const std::string_view word = words[words.size() - 1 - w];  // the lowest word last
    for (std::size_t d = 0; d < word.size() && d * 4 < std::size_t(wordBits); ++d) {
      const char c = word[word.size() - 1 - d];
      const int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 0;
      for (int b = 0; b < 4; ++b)
        if (v & (1 << b)) bits[w * std::size_t(wordBits) + d * 4 + std::size_t(b)] = true;
    }
  }
  return bits;
}

bool has(const std::vector<bool>& bits, int n) { return std::size_t(n) < bits.size() && bits[std::size_t(n)]; }

// A small file read whole (a C stream: a C++ one would start the C++ locales at every start).
std::string readSmall(const std::filesystem::path& file) {
  std::string text;
  if (std::FILE* f = std::fopen(file.c_str(), "r")) {
    char buffer[1024];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

}  // namespace

bool mayBeGamePad(std::string_view keyBits, std::string_view absBits, int wordBits) {
  const std::vector<bool> keys = bitsOf(keyBits, wordBits), axes = bitsOf(absBits, wordBits);
  // BTN_TRIGGER..BTN_DEAD (joysticks), BTN_SOUTH..BTN_THUMBR (pads), the d-pad buttons and the
  // extra buttons of pads and dance mats.
  for (int b = 0x120; b <= 0x13e; ++b)
    if (has(keys, b)) return true;
  for (int b = 0x220; b <= 0x223; ++b)
    if (has(keys, b)) return true;
  for (int b = 0x2c0; b <= 0x2e7; ++b)
    if (has(keys, b)) return true;
  // ABS_RX, ABS_RY, ABS_RZ, ABS_THROTTLE, ABS_RUDDER, ABS_WHEEL, ABS_GAS, ABS_BRAKE, ABS_HAT0X..
  for (int a = 0x03; a <= 0x0a; ++a)
    if (has(axes, a)) return true;
  return has(axes, 0x10) || has(axes, 0x11);
}

PadPresence padPresence(const std::filesystem::path& sysClassInput, const std::filesystem::path& devInput) {
  std::error_code ec;
  for (const auto& node : std::filesystem::directory_iterator(devInput, ec))
    if (node.path().filename().string().starts_with("js")) return PadPresence::Maybe;
  std::filesystem::directory_iterator devices(sysClassInput, ec);
  if (ec) return PadPresence::Unknown;
  for (const auto& device : devices) {
    const std::filesystem::path caps = device.path() / "capabilities";
    if (!device.path().filename().string().starts_with("input") || !std::filesystem::is_directory(caps, ec)) continue;
    if (mayBeGamePad(readSmall(caps / "key"), readSmall(caps / "abs"))) return PadPresence::Maybe;
  }
  return PadPresence::None;
}

#ifdef __linux__
// The folder of device nodes itself may not exist yet (the system makes it with the first input
// device): its parent is watched too, and the folder once it appears.
bool PadWatch::start(const std::filesystem::path& devInput) {
  stop();
  fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) return false;
  dir_ = devInput;
  const bool parent = inotify_add_watch(fd_, devInput.parent_path().c_str(), IN_CREATE | IN_MOVED_TO) >= 0;
  const bool folder = inotify_add_watch(fd_, devInput.c_str(), IN_CREATE | IN_MOVED_TO) >= 0;
  if (!parent && !folder) stop();
  return watching();
}

void PadWatch::stop() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool PadWatch::deviceAdded() {
  if (fd_ < 0) return false;
  bool added = false;
  alignas(inotify_event) char buffer[4096];
  while (::read(fd_, buffer, sizeof buffer) > 0) added = true;
  if (added) inotify_add_watch(fd_, dir_.c_str(), IN_CREATE | IN_MOVED_TO);  // made just now, perhaps
  return added;
}
#else
bool PadWatch::start(const std::filesystem::path&) { return false; }
void PadWatch::stop() {}
bool PadWatch::deviceAdded() { return false; }
#endif

}  // namespace vunt
