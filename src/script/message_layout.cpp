#include "script/message_layout.hpp"

#include <algorithm>
#include <cmath>

#include "script/fields.hpp"

namespace vunt {

MessageGrid messageGrid(double innerWidth, double innerHeight, double fontSize) {
  if (!(fontSize > 0)) return {1, 0};
  double columns = std::floor(innerWidth / fontSize);
  double rows = std::floor(innerHeight / fontSize);
  // Clamp before converting, so an absurd size cannot overflow an int.
  return {int(std::clamp(columns, 1.0, 10000.0)), int(std::clamp(rows, 1.0, 10000.0)) - 1};
}

std::optional<int> hexDigit(char32_t c) {
  if (c >= U'0' && c <= U'9') return int(c - U'0');
  if (c >= U'A' && c <= U'F') return int(c - U'A') + 10;
  if (c >= U'a' && c <= U'f') return int(c - U'a') + 10;
  return std::nullopt;
}

std::u32string messageFaultText(MessageFault fault) {
  switch (fault) {
    case MessageFault::MissingParameters: return U"文字コード引数無し";
    case MessageFault::BadSpeaker: return U"話者番号不正";
    case MessageFault::BadColour: return U"色番号不正";
    case MessageFault::ColourOutOfRange: return U"色番号範囲外";
    case MessageFault::BadDelay: return U"表示速度不正";
  }
  return U"文字コード不正";
}

namespace {

// The state of one call: it starts afresh with every message.
class Typist {
 public:
  Typist(std::u32string_view text, MessageGrid grid, MessageMemory memory, MessageOutput& out)
      : text_(text), grid_(grid), mem_(memory), out_(out), delay_(memory.charDelay) {}

  void run() {
    out_.clear();
    if (text_.empty()) return;
    for (;;) {
      if (!processCharacter()) return;
      // Page check: a full page waits for the player before anything else is typed.
      if (row_ > grid_.lastRow) {
        clickWait();
        out_.clear();
        column_ = row_ = 0;
      }
      if (p_ + 1 >= text_.size()) return;
      ++p_;
    }
  }

 private:
  void clickWait() {
    out_.clickWait();
    delay_ = mem_.charDelay;
  }

  void lineBreak() {
    column_ = 0;
    ++row_;
    out_.newLine();
  }

  // The n parameter characters after the code at p_, or nothing (reported) when they run past
  // the end of the text.
  std::optional<std::u32string_view> parameters(std::size_t n) {
    if (text_.size() - p_ - 1 < n) {
      out_.malformed(MessageFault::MissingParameters);
      return std::nullopt;
    }
    return text_.substr(p_ + 1, n);
  }

  // Processes the character at p_ and the parameters of a code; false when typing must stop.
  bool processCharacter() {
    const char32_t c = text_[p_];
    switch (c) {
      case U'＆': {  // speaker definition: a hex digit, then three characters
        auto params = parameters(4);
        if (!params) return false;
        auto k = hexDigit((*params)[0]);
        if (!k) return fault(MessageFault::BadSpeaker);
        mem_.speakerNames[std::size_t(*k)] = std::u32string(params->substr(1, 3));
        p_ += 4;
        return true;
      }
      case U'＠': {  // text colour: two characters, a number 0..15
        auto params = parameters(2);
        if (!params) return false;
        auto v = parseDecimal(*params);
        if (!v) return fault(MessageFault::BadColour);
        if (*v < 0 || *v > 15) return fault(MessageFault::ColourOutOfRange);
        mem_.textColour = std::int16_t(*v);
        out_.setColour(mem_.textColour);
        p_ += 2;
        return true;
      }
      case U'＃': {  // typing delay in tens of milliseconds, from the next page or message on
        auto params = parameters(2);
        if (!params) return false;
        auto v = parseDecimal(*params);  // two characters: -9..99
        if (!v) return fault(MessageFault::BadDelay);
        mem_.charDelay = std::int16_t(*v * 10);
        p_ += 2;
        return true;
      }
      case U'￥':  // page break
        clickWait();
        out_.clear();
        column_ = row_ = 0;
        return true;
      case U'＾':  // line break; nothing on an empty line
        if (column_ > 0) lineBreak();
        return true;
      case U'＜':
        emphasis_ = true;
        out_.setColour(kEmphasisColour);
        return true;
      case U'＞':
        emphasis_ = false;
        out_.setColour(mem_.textColour);
        return true;
      case U'：': {  // speaker line: 「name」 at the start of a line, then text five cells in
        auto params = parameters(1);
        if (!params) return false;
        auto k = hexDigit((*params)[0]);
        if (!k) return fault(MessageFault::BadSpeaker);
        if (column_ > 0) {
          if (row_ == grid_.lastRow) {
            clickWait();
            out_.clear();
            row_ = 0;
          } else {
            out_.newLine();
            ++row_;
          }
        }
        out_.setColour(kSpeakerColour);
        out_.print(U"「" + mem_.speakerNames[std::size_t(*k)] + U"」");
        out_.setColour(mem_.textColour);
        column_ = kIndentCells;
        p_ += 1;
        return true;
      }
      default:
        if (!emphasis_ && column_ == 0) {
          out_.print(U"\u3000\u3000\u3000\u3000\u3000");
          column_ = kIndentCells;
        }
        if (delay_ > 0) {
          out_.print(std::u32string_view(&text_[p_], 1));
          ++column_;
          if (out_.typingDelay(delay_)) delay_ = 0;  // a click types the page at once
        } else {
          // Without a pause, the plain characters up to the end of the line go out as one run.
          const std::size_t n = plainRun(std::size_t(std::max(grid_.columns - column_, 1)));
          out_.printEach(text_.substr(p_, n));
          column_ += int(n);
          p_ += n - 1;
        }
        // A full line breaks (">=": a grid narrower than the indent still breaks every line).
        if (column_ >= grid_.columns) lineBreak();
        return true;
    }
  }

  // How many characters from p_ on, at least one and at most limit, hold no code.
  std::size_t plainRun(std::size_t limit) const {
    std::size_t n = 1;
    while (n < limit && p_ + n < text_.size() && !isCode(text_[p_ + n])) ++n;
    return n;
  }

  static bool isCode(char32_t c) {
    return c == U'＆' || c == U'＠' || c == U'＃' || c == U'￥' || c == U'＾' || c == U'＜' || c == U'＞' || c == U'：';
  }

  bool fault(MessageFault f) {
    out_.malformed(f);
    return false;
  }

  std::u32string_view text_;
  MessageGrid grid_;
  MessageMemory mem_;
  MessageOutput& out_;
  std::size_t p_ = 0;
  int column_ = 0;
  int row_ = 0;
  bool emphasis_ = false;
  int delay_;
};

}  // namespace

void typeMessage(std::u32string_view text, MessageGrid grid, MessageMemory memory, MessageOutput& out) {
  Typist(text, grid, memory, out).run();
}

}  // namespace vunt
