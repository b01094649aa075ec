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

// Breaks one line into pieces no wider than maxWidth as measured by width(), character by
// character (Japanese has no spaces to break at); every piece holds at least one character.
template <typename Width>
std::vector<std::u32string> wrapLine(std::u32string_view line, int maxWidth, Width width) {
  std::vector<std::u32string> out;
  std::u32string piece;
  for (char32_t c : line) {
    std::u32string longer = piece + c;
    if (!piece.empty() && width(std::u32string_view(longer)) > maxWidth) {
      out.push_back(std::move(piece));
      piece = std::u32string(1, c);
    } else {
      piece = std::move(longer);
    }
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
