// Message output: MESHG types a message into MES; TWAIT waits on the millisecond clock. The layout
// itself (codes, grid, line and page breaks) is in message_layout; here its steps meet MES, the
// pointer and the player.
#include <optional>

#include "text/text.hpp"
#include "script/message_layout.hpp"
#include "shell/vunt.hpp"

namespace vunt {

namespace {

// A click wait has nothing to do until the player acts: the host may sleep this long between
// events (an event ends the sleep at once).
constexpr std::uint32_t kClickWaitSleepMs = 1000;

// Carries the steps of a message out on MES, and keeps MesRows in step with what MES shows.
class MesOutput : public MessageOutput {
 public:
  explicit MesOutput(Vunt& v) : v_(v) {}

  void clear() override {
    v_.aids.pageCleared({v_.MesRows.begin(), v_.MesRows.end()});
    v_.MES.cls();
    for (auto& row : v_.MesRows) row.clear();
    v_.MesRow = 0;
  }

  void setColour(int index) override {
    if (index >= 0 && index < int(kPalette.size())) v_.MES.setFore(kPalette[std::size_t(index)]);
  }

  void print(std::u32string_view text) override {
    v_.MES.print(text);
    if (v_.MesRow >= 0 && v_.MesRow < int(v_.MesRows.size())) v_.MesRows[std::size_t(v_.MesRow)] += text;
  }

  void newLine() override {
    v_.MES.newLine();
    ++v_.MesRow;
  }

  void clickWait() override {
    Host& host = v_.host();
    if (host.recording()) host.transcript("page", {pageText()});
    v_.ClickFlag = 0;
    // The custom pointer is whatever image the window holds: the click pointer in script mode,
    // the keyboard pointer during the puzzle.
    v_.form_.setMousePointer(99);
    // Skip and auto mode answer the page as the player's click would, after their own delay; the
    // puzzle's result message (the timer is off during the puzzle) is always the player's.
    const PageKind kind = v_.Timer1Enabled ? PageKind::Script : PageKind::Puzzle;
    v_.aids.pageWaitBegins(host.tickCount(), pageCharacters(), kind);
    while (v_.ClickFlag == 0) {
      if (std::optional<std::uint32_t> in = v_.aids.pageAnswerIn(host.tickCount())) {
        if (*in == 0) {
          host.pageAnsweredByAid();
          v_.MES_Click();
        }
        else host.doEvents(WaitKind::Timed, *in);
      } else {
        host.doEvents(WaitKind::Player, kClickWaitSleepMs);
      }
    }
    v_.aids.pageWaitEnds();
    v_.playerAnswered();
    v_.form_.setMousePointer(0);
  }

  bool typingDelay(int ms) override {
    // Ctrl held types the page at once, as a click during typing does.
    if (v_.aids.skipping()) {
      v_.MES_Click();
      return true;
    }
    const int delay = v_.aids.typingDelay(ms);
    if (delay <= 0) return false;
    v_.ClickFlag = 0;
    v_.TWAIT(i16(delay));
    return v_.ClickFlag == 2;
  }

  void malformed(MessageFault fault) override { v_.EEE(messageFaultText(fault)); }

 private:
  // The characters on the page, the indents left out.
  std::size_t pageCharacters() const {
    std::size_t n = 0;
    for (const auto& row : v_.MesRows)
      for (char32_t c : row) n += c != U'\u3000' && c != U' ';
    return n;
  }

  // The rows joined with "|", trailing empty rows left out.
  std::string pageText() const {
    std::size_t used = v_.MesRows.size();
    while (used > 0 && v_.MesRows[used - 1].empty()) --used;
    std::u32string text;
    for (std::size_t i = 0; i < used; ++i) {
      if (i) text += U'|';
      text += v_.MesRows[i];
    }
    return toUtf8(text);
  }

  Vunt& v_;
};

}  // namespace

void Vunt::MESHG(const std::u32string& text) {
  MesOutput out(*this);
  MessageGrid grid = messageGrid(MES.scaleWidth(), MES.scaleHeight(), MES.font().points);
  typeMessage(text, grid, MessageMemory{SpeakerNames, CharDelay, TextColour}, out);
}

void Vunt::TWAIT(i16 ms) {
  if (ms <= 0) return;
  const std::uint32_t wait = std::uint32_t(ms);
  const std::uint32_t start = host_.tickCount();
  // Unsigned subtraction: the elapsed time stays right when the counter wraps at 2^32.
  for (std::uint32_t elapsed = host_.tickCount() - start; elapsed < wait; elapsed = host_.tickCount() - start)
    host_.doEvents(WaitKind::Timed, wait - elapsed);
}

void Vunt::cmdMES() { MESHG(CUTA(2)); }

}  // namespace vunt
