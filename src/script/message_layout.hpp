#pragma once
// The layout of a typed message, without any host: the message codes, the grid of character
// cells, and the decisions about line and page breaks. typeMessage walks a message text and tells
// a MessageOutput what to do, step by step; MESHG carries the steps out on the message area, the
// tests record them.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/surface.hpp"

namespace vunt {

// The 16 colours of the classic text-mode palette, selected by the colour code.
inline constexpr std::array<Colour, 16> kPalette{
    rgb(0, 0, 0),       rgb(0, 0, 128),   rgb(0, 128, 0),   rgb(0, 128, 128),
    rgb(128, 0, 0),     rgb(128, 0, 128), rgb(128, 128, 0), rgb(192, 192, 192),
    rgb(128, 128, 128), rgb(0, 0, 255),   rgb(0, 255, 0),   rgb(0, 255, 255),
    rgb(255, 0, 0),     rgb(255, 0, 255), rgb(255, 255, 0), rgb(255, 255, 255),
};
inline constexpr int kEmphasisColour = 3;  // cyan
inline constexpr int kSpeakerColour = 12;  // light red
inline constexpr int kIndentCells = 5;     // five ideographic spaces, as wide as a speaker's「ABC」

// The grid of the message area: characters per line and the number of the last row of a page.
struct MessageGrid {
  int columns;
  int lastRow;
};
// From the area's inner size and its font size, all in points. A grid always has at least one
// cell, whatever the sizes.
MessageGrid messageGrid(double innerWidth, double innerHeight, double fontSize);

// A hex digit 0-9, A-F or a-f as its value 0..15.
std::optional<int> hexDigit(char32_t c);

// Codes whose parameters make no sense. Typing stops at such a code, before it has any effect.
enum class MessageFault {
  MissingParameters,  // the parameters run past the end of the text
  BadSpeaker,         // a speaker index that is not a hex digit
  BadColour,          // a colour that is not a number
  ColourOutOfRange,   // a colour outside 0..15
  BadDelay,           // a typing delay that is not a number
};
// The text of the script error report for a fault.
std::u32string messageFaultText(MessageFault fault);

// What a message does, in order. Implementations carry the steps out.
class MessageOutput {
 public:
  virtual ~MessageOutput() = default;
  virtual void clear() = 0;                          // clear the area; print position top left
  virtual void setColour(int paletteIndex) = 0;      // 0..15
  virtual void print(std::u32string_view text) = 0;  // at the print position, no line break
  // Each character of chars printed on its own, one after the other: a run typed without a pause.
  virtual void printEach(std::u32string_view chars) {
    for (std::size_t i = 0; i < chars.size(); ++i) print(chars.substr(i, 1));
  }
  virtual void newLine() = 0;
  virtual void clickWait() = 0;  // a page is full: wait until the player clicks
  // The pause after a typed character; returns whether the player clicked meanwhile.
  virtual bool typingDelay(int ms) = 0;
  // A malformed code; typeMessage returns right after it.
  virtual void malformed(MessageFault fault) = 0;
};

// The state a message leaves for the next one: speaker names, typing delay and text colour.
struct MessageMemory {
  std::array<std::u32string, 16>& speakerNames;
  std::int16_t& charDelay;   // milliseconds per character
  std::int16_t& textColour;  // palette index of the normal text
};

// Types one message: clears the area first, then processes its characters and codes. Returns when
// the whole text is processed, without waiting at its end.
void typeMessage(std::u32string_view text, MessageGrid grid, MessageMemory memory, MessageOutput& out);

}  // namespace vunt
