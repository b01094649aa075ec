#include "platform/headless_host.hpp"

#include <cstdio>
#include <ostream>

#include "platform/picture.hpp"
#include "text/text.hpp"

namespace vunt {

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
  if (app_) app_->idle();
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
  // A frame that cannot be written (a full disk, no PNG writer) leaves a gap the reader would take
  // for a frame never drawn: say so.
  if (!savePng(app_->mainForm().compose(), framesDir_ / name))
    std::fprintf(stderr, "vunt: cannot write the frame %s\n", (framesDir_ / name).string().c_str());
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
