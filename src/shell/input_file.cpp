#include "shell/input_file.hpp"

#include <charconv>
#include <sstream>

#include "aids/player_aids.hpp"
#include "platform/host.hpp"
#include "shell/pad_keys.hpp"
#include "text/text.hpp"

namespace vunt {

namespace {

bool parseInt(std::string_view s, int& v) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size();
}

}  // namespace

std::optional<std::vector<InputEvent>> parseInputEvents(const std::string& text, std::string& error) {
  std::vector<InputEvent> events;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::string word = line.substr(0, line.find(' '));
    std::string arg = line.size() > word.size() ? line.substr(word.size() + 1) : "";
    auto bad = [&](const std::string& why) {
      error = "input line " + std::to_string(number) + ": " + why + ": " + line;
      return std::nullopt;
    };
    int v = 0;
    if (word == "click") events.push_back({InputEvent::Click});
    else if (word == "click-picture") events.push_back({InputEvent::ClickPicture});
    else if (word == "click-form") events.push_back({InputEvent::ClickForm});
    else if (word == "rclick") events.push_back({InputEvent::RightClick});
    else if (word == "close") events.push_back({InputEvent::Close});
    else if (word == "close-picture") events.push_back({InputEvent::ClosePicture});
    else if (word == "space") events.push_back({InputEvent::Key, vk::Space});
    else if (word == "esc") events.push_back({InputEvent::Key, vk::Escape});
    else if (word == "left") events.push_back({InputEvent::Key, vk::Left});
    else if (word == "up") events.push_back({InputEvent::Key, vk::Up});
    else if (word == "right") events.push_back({InputEvent::Key, vk::Right});
    else if (word == "down") events.push_back({InputEvent::Key, vk::Down});
    // The player aids' keys and the wheel.
    else if (word == "ctrl-down") events.push_back({InputEvent::AidKeyDown, 17});
    else if (word == "ctrl-up") events.push_back({InputEvent::AidKeyUp, 17});
    else if (word == "auto") events.push_back({InputEvent::AidKeyDown, 65});
    else if (word == "page-up") events.push_back({InputEvent::AidKeyDown, 33});
    else if (word == "page-down") events.push_back({InputEvent::AidKeyDown, 34});
    else if (word == "f1") events.push_back({InputEvent::AidKeyDown, 112});
    else if (word == "f2") events.push_back({InputEvent::AidKeyDown, 113});
    else if (word == "f12") events.push_back({InputEvent::AidKeyDown, 123});
    // Keys as the window's player presses them (the aids see them first).
    else if (word == "enter") events.push_back({InputEvent::PlayerKey, vk::Return});
    else if (word == "hide") events.push_back({InputEvent::PlayerKey, aidkey::HideText});
    else if (word == "f6") events.push_back({InputEvent::AidKeyDown, 117});
    else if (word == "wheel-up") events.push_back({InputEvent::Wheel, 1});
    else if (word == "wheel-down") events.push_back({InputEvent::Wheel, -1});
    else if (word == "label") {
      if (!parseInt(arg, v) || v < 0 || v > 3) return bad("label needs an index 0 to 3");
      events.push_back({InputEvent::Label, v});
    } else if (word == "key") {
      if (!parseInt(arg, v) || v < 0 || v > 255) return bad("key needs a key code 0 to 255");
      events.push_back({InputEvent::Key, v});
    } else if (word == "pad" || word == "pad-release") {
      PadButton button{};
      if (!padButtonNamed(arg, button))
        return bad("pad needs a button: a, b, x, y, back, start, lb, rb, lt, rt, up, down, left, right");
      events.push_back({word == "pad" ? InputEvent::PadDown : InputEvent::PadUp, int(button)});
    } else if (word == "char") {
      std::u32string c = fromUtf8(arg);
      if (c.size() != 1) return bad("char needs one character");
      events.push_back({InputEvent::Char, int(c[0])});
    } else {
      return bad("unknown event");
    }
  }
  return events;
}

}  // namespace vunt
