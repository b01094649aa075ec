#pragma once
// The player's settings: how fast the text types (its delay), how loud the sounds are, whether menu
// labels light up under the pointer. They live in $XDG_CONFIG_HOME/vunt/settings.ini, a small
// text file the player may also edit by hand:
//
//   typing_delay = 1      ; 0.25, 0.5, 1, 2, 4 (times the script's delay) or instant
//   volume = 100          ; 0 to 100 (percent), in steps of 10
//   hover = on            ; on or off
//   scale = auto          ; the window's size: auto, 1 to 16 (times the game's), or fit
//   fullscreen = off      ; on or off
//   skip_unread = off     ; on: skip passes pages not read before too
//
// None of them changes what the script sees: the script's own delay code stays what it wrote.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vunt {

struct Settings {
  // The text speed's steps from slow to fast, as the typing delay in percent of the script's
  // delay; 0 is "instant".
  static constexpr std::array<int, 6> kDelaySteps{400, 200, 100, 50, 25, 0};
  static constexpr int kNormalDelayStep = 2;
  static constexpr int kVolumeStep = 10;
  static constexpr int kAutoScale = 0, kFitScale = -1, kMaxScale = 16;

  int delayStep = kNormalDelayStep;  // index into kDelaySteps
  int volume = 100;                  // percent
  bool hover = true;
  int scale = kAutoScale;  // kAutoScale, 1..kMaxScale, or kFitScale
  bool fullScreen = false;
  bool skipUnread = false;

  int delayPercent() const { return kDelaySteps[std::size_t(delayStep)]; }
  // The script's typing delay of ms milliseconds as the player set it (0: no delay at all).
  int scaledDelay(int ms) const;
  bool operator==(const Settings&) const = default;
};

// The window's size as the settings screen shows it: 自動, ×N, or ぴったり (fit).
std::u32string scaleName(int scale);

// The text speed as the key help (F1) and the settings screen (F2) both name it, and the name of
// each of its steps there, from slow to fast.
constexpr std::u32string_view kTextSpeedName = U"文字の速さ";
std::u32string_view textSpeedName(int step);

// Reads the file's text; unknown keys are ignored (a later version may add some), a bad value
// keeps the default and adds a one-line warning naming the line.
Settings parseSettings(std::string_view text, std::vector<std::string>& warnings);
std::string formatSettings(const Settings& s);
// The typing delay step as the file and the settings screen write it ("0.25", "1", "instant").
std::string delayStepText(int step);

// $XDG_CONFIG_HOME/vunt/settings.ini, or ~/.config/vunt/settings.ini when the variable is unset
// or not an absolute path (as the XDG rules say); nothing without either.
std::optional<std::filesystem::path> settingsPath();

// Reads the file; a missing file gives the defaults without a warning.
Settings loadSettings(const std::filesystem::path& file, std::vector<std::string>& warnings);
// Writes the file in one step, making its folder first; false and a reason on failure.
bool saveSettings(const std::filesystem::path& file, const Settings& s, std::string& error);

}  // namespace vunt
