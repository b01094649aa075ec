#include "platform/headless_host.hpp"

#include <charconv>
#include <cstdio>
#include <ostream>
#include <sstream>

#include "platform/picture.hpp"
#include "text/text.hpp"

namespace vunt {

static bool parseInt(std::string_view s, int& v) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size();
}

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
    else if (word == "wheel-up") events.push_back({InputEvent::Wheel, 1});
    else if (word == "wheel-down") events.push_back({InputEvent::Wheel, -1});
    else if (word == "label") {
      if (!parseInt(arg, v) || v < 0 || v > 3) return bad("label needs an index 0 to 3");
      events.push_back({InputEvent::Label, v});
    } else if (word == "key") {
      if (!parseInt(arg, v) || v < 0 || v > 255) return bad("key needs a key code 0 to 255");
      events.push_back({InputEvent::Key, v});
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

HeadlessHost::HeadlessHost(std::vector<InputEvent> events, std::ostream& out, std::filesystem::path framesDir)
    : events_(std::move(events)), out_(out), framesDir_(std::move(framesDir)) {}

int HeadlessHost::run(Application& app) {
  app_ = &app;
  ticks_ = elapsedMs_ = 0;
  int status = 0;
  try {
    app.start();
    for (;;) {
      if (app.timerEnabled()) {
        if (++ticks_ > maxTicks_) throw ProgramEnd{kBudgetStatus, "max-ticks"};
        app.tick();
      } else {
        doEvents(WaitKind::Player);
      }
    }
  } catch (const ProgramEnd& end) {
    transcript("end", {end.how});
    status = end.status;
  }
  for (const std::string& line : app.finalReport()) out_ << line << '\n';
  out_.flush();
  app_ = nullptr;
  return status;
}

void HeadlessHost::doEvents(WaitKind kind, std::uint32_t) {
  ++clock_;
  if (++elapsedMs_ > maxMs_) throw ProgramEnd{kBudgetStatus, "budget"};
  if (kind != WaitKind::Player || !app_) return;
  if (next_ >= events_.size()) throw ProgramEnd{3, "input-exhausted"};
  saveFrame();
  deliver(events_[next_++]);
}

// The game resolves what the event names (the message area, a menu label, ...).
void HeadlessHost::deliver(const InputEvent& e) { app_->scriptedInput(e); }

void HeadlessHost::saveFrame() {
  if (framesDir_.empty() || !app_) return;
  char name[32];
  std::snprintf(name, sizeof name, "%04d.png", ++frameCount_);
  savePng(app_->mainForm().compose(), framesDir_ / name);
}

static std::string escapeLineEnds(std::u32string_view s) {
  std::string out;
  for (char32_t c : s) {
    if (c == U'\r') out += "\\r";
    else if (c == U'\n') out += "\\n";
    else out += toUtf8(std::u32string_view(&c, 1));
  }
  return out;
}

void HeadlessHost::messageBox(std::u32string_view text, std::u32string_view title, int) {
  transcript("error", {toUtf8(title), escapeLineEnds(text)});
}

// The source position, when known, is one more field of the error line.
void HeadlessHost::errorBox(std::u32string_view text, std::u32string_view title, std::string_view source) {
  if (source.empty()) return messageBox(text, title, 16);
  transcript("error", {toUtf8(title), escapeLineEnds(text), std::string(source)});
}

bool HeadlessHost::playSound(const std::filesystem::path& file, std::u32string_view name, int flags) {
  transcript("sound", {toUtf8(name), std::to_string(flags)});
  std::error_code ec;
  return std::filesystem::is_regular_file(file, ec);
}

void HeadlessHost::transcript(std::string_view kind, const std::vector<std::string>& fields) {
  out_ << kind;
  for (const std::string& f : fields) out_ << '\t' << f;
  out_ << '\n';
}

}  // namespace vunt
