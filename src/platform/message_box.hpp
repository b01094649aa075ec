#pragma once
// The message box the engine draws itself inside the game's window: a title bar, an icon, the
// text in the IPA Gothic font and one OK button, centred over the game. Layout and drawing only;
// the window host runs the box's modal wait.
#include <string>
#include <string_view>
#include <vector>

#include "platform/font.hpp"
#include "platform/surface.hpp"

namespace vunt {

enum class BoxIcon { None, Stop, Question, Warning, Information };

// The icon of a Windows message-box style (16 stop, 32 question, 48 exclamation, 64 information).
BoxIcon boxIconFor(int style);

// The box's text as lines: a line ends at CR LF, a lone CR or a lone LF, as Windows breaks it.
std::vector<std::u32string> boxLines(std::u32string_view text);

// Whether a line may break between a and b. Japanese breaks between any two characters; a run of
// ASCII letters, digits and signs (an English word, a path, a number) only after a space, a "/"
// or a "\\" in it, so that a word or a name is never cut.
inline bool mayBreakBetween(char32_t a, char32_t b) {
  auto inWord = [](char32_t c) { return c > U' ' && c < 127; };
  return !(inWord(a) && inWord(b)) || a == U'/' || a == U'\\';
}

// Breaks one line into pieces no wider than maxWidth as measured by width(), at the last place
// mayBreakBetween allows; a word wider than the line alone is broken where it must be. Every piece
// holds at least one character, and a piece after a break at a space does not start with it.
template <typename Width>
std::vector<std::u32string> wrapLine(std::u32string_view line, int maxWidth, Width width) {
  std::vector<std::u32string> out;
  std::u32string piece;
  for (char32_t c : line) {
    if (piece.empty() && c == U' ' && !out.empty()) continue;
    std::u32string longer = piece + c;
    if (piece.empty() || width(std::u32string_view(longer)) <= maxWidth) {
      piece = std::move(longer);
      continue;
    }
    std::size_t cut = piece.size();
    if (!mayBreakBetween(piece.back(), c)) {
      std::size_t i = piece.size() - 1;
      while (i > 0 && !mayBreakBetween(piece[i - 1], piece[i])) --i;
      if (i > 0) cut = i;
    }
    std::u32string rest = piece.substr(cut);
    piece.resize(cut);
    while (piece.size() > 1 && piece.back() == U' ') piece.pop_back();
    out.push_back(std::move(piece));
    while (!rest.empty() && rest.front() == U' ') rest.erase(0, 1);
    piece = rest + c;
  }
  out.push_back(std::move(piece));
  return out;
}

struct BoxLayout {
  Rect box;       // the whole box, frame included, in the game's pixels
  Rect titleBar;
  Rect icon;      // 32 x 32
  Rect text;      // where the lines go
  Rect button;    // the OK button
  int lineHeight = 0;
  std::vector<std::u32string> lines;  // wrapped; cut with "…" when the box would leave the frame
};

// The font of the box: the IPA Gothic that stands in for the Windows dialog font.
const Font& boxFont();

// Lays the box out centred in a frame of frameW x frameH pixels.
BoxLayout layoutBox(std::u32string_view text, std::u32string_view title, BoxIcon icon, int frameW, int frameH,
                    const Font& font);

// Draws the box onto the frame; pressed draws the OK button pushed in.
void drawBox(Surface& frame, const BoxLayout& layout, std::u32string_view title, BoxIcon icon, bool pressed,
             const Font& font);

}  // namespace vunt
