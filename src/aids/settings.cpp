#include "aids/settings.hpp"

#include <charconv>
#include <cstdlib>
#include <system_error>

#include "platform/file_replace.hpp"
#include "platform/game_files.hpp"
#include "platform/xdg_dirs.hpp"

namespace vunt {

namespace {

std::string_view trim(std::string_view s) {
  const char* blanks = " \t\r";
  std::size_t b = s.find_first_not_of(blanks);
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(blanks) - b + 1);
}

std::optional<int> parseDelayStep(std::string_view v) {
  for (std::size_t i = 0; i < Settings::kDelaySteps.size(); ++i)
    if (v == delayStepText(int(i))) return int(i);
  if (v == "0.5x" || v == "1x" || v == "2x" || v == "4x" || v == "0.25x") return parseDelayStep(v.substr(0, v.size() - 1));
  return std::nullopt;
}

std::optional<int> parseVolume(std::string_view v) {
  int n = 0;
  auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  if (ec != std::errc() || p != v.data() + v.size() || n < 0 || n > 100) return std::nullopt;
  return n;
}

std::optional<int> parseScale(std::string_view v) {
  if (v == "auto") return Settings::kAutoScale;
  if (v == "fit") return Settings::kFitScale;
  int n = 0;
  auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  if (ec != std::errc() || p != v.data() + v.size() || n < 1 || n > Settings::kMaxScale) return std::nullopt;
  return n;
}

std::string scaleText(int scale) {
  if (scale == Settings::kAutoScale) return "auto";
  if (scale == Settings::kFitScale) return "fit";
  return std::to_string(scale);
}

std::optional<bool> parseSwitch(std::string_view v) {
  if (v == "on" || v == "yes" || v == "true" || v == "1") return true;
  if (v == "off" || v == "no" || v == "false" || v == "0") return false;
  return std::nullopt;
}

}  // namespace

int Settings::scaledDelay(int ms) const {
  if (ms <= 0) return 0;
  // At most the largest wait the typing delay can take, so a scaled delay never wraps.
  long long scaled = static_cast<long long>(ms) * delayPercent() / 100;
  if (scaled > 32767) scaled = 32767;
  // A short delay scaled down stays a delay of at least 1 ms; only "instant" removes it.
  if (scaled == 0 && delayPercent() > 0) scaled = 1;
  return int(scaled);
}

std::string delayStepText(int step) {
  switch (Settings::kDelaySteps[std::size_t(step)]) {
    case 25: return "0.25";
    case 50: return "0.5";
    case 100: return "1";
    case 200: return "2";
    case 400: return "4";
    default: return "instant";
  }
}

std::u32string scaleName(int scale) {
  if (scale == Settings::kAutoScale) return U"自動";
  if (scale == Settings::kFitScale) return U"ぴったり";
  std::u32string n;
  for (char c : std::to_string(scale)) n += char32_t(c);
  return U"×" + n;
}

std::u32string_view textSpeedName(int step) {
  switch (Settings::kDelaySteps[std::size_t(step)]) {
    case 400: return U"とても遅い";
    case 200: return U"遅い";
    case 100: return U"ふつう";
    case 50: return U"速い";
    case 25: return U"とても速い";
    default: return U"一瞬（待たない）";
  }
}

Settings parseSettings(std::string_view text, std::vector<std::string>& warnings) {
  Settings s;
  int number = 0;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++number;
    if (std::size_t c = line.find_first_of(";#"); c != std::string_view::npos) line = line.substr(0, c);
    line = trim(line);
    if (line.empty() || line.front() == '[') continue;
    std::size_t eq = line.find('=');
    auto warn = [&](const std::string& why) {
      warnings.push_back("settings.ini:" + std::to_string(number) + ": " + why + ": " + std::string(line));
    };
    if (eq == std::string_view::npos) {
      warn("no '='");
      continue;
    }
    std::string_view key = trim(line.substr(0, eq)), value = trim(line.substr(eq + 1));
    if (key == "typing_delay") {
      if (auto v = parseDelayStep(value)) s.delayStep = *v;
      else warn("typing_delay is 0.25, 0.5, 1, 2, 4 or instant");
    } else if (key == "volume") {
      if (auto v = parseVolume(value)) s.volume = *v;
      else warn("volume is 0 to 100");
    } else if (key == "hover") {
      if (auto v = parseSwitch(value)) s.hover = *v;
      else warn("hover is on or off");
    } else if (key == "scale") {
      if (auto v = parseScale(value)) s.scale = *v;
      else warn("scale is auto, 1 to 16 or fit");
    } else if (key == "fullscreen") {
      if (auto v = parseSwitch(value)) s.fullScreen = *v;
      else warn("fullscreen is on or off");
    } else if (key == "skip_unread") {
      if (auto v = parseSwitch(value)) s.skipUnread = *v;
      else warn("skip_unread is on or off");
    }
  }
  return s;
}

std::string formatSettings(const Settings& s) {
  return "# Vunt's settings (F2 in the game changes them)\n"
         "typing_delay = " + delayStepText(s.delayStep) + "   ; 0.25, 0.5, 1, 2, 4 or instant\n"
         "volume = " + std::to_string(s.volume) + "   ; 0 to 100\n"
         "hover = " + (s.hover ? "on" : "off") + "\n"
         "scale = " + scaleText(s.scale) + "   ; auto, 1 to 16 or fit\n"
         "fullscreen = " + (s.fullScreen ? "on" : "off") + "\n"
         "skip_unread = " + (s.skipUnread ? "on" : "off") + "   ; on: skip passes unread pages too\n";
}

std::optional<std::filesystem::path> settingsPath() {
  auto dir = xdgBaseDir("XDG_CONFIG_HOME", ".config");
  if (!dir) return std::nullopt;
  return *dir / "vunt" / "settings.ini";
}

Settings loadSettings(const std::filesystem::path& file, std::vector<std::string>& warnings) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return Settings{};
  std::optional<std::string> text = readWholeFile(file, 64 * 1024);
  if (!text) {
    warnings.push_back("cannot read " + file.string() + "; using the default settings");
    return Settings{};
  }
  return parseSettings(*text, warnings);
}

bool saveSettings(const std::filesystem::path& file, const Settings& s, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  if (ec) {
    error = "cannot make " + file.parent_path().string() + ": " + ec.message();
    return false;
  }
  if (!replaceFile(file, formatSettings(s), error)) {
    error = file.string() + ": " + error;
    return false;
  }
  return true;
}

}  // namespace vunt
