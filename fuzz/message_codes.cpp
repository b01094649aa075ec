// MESHG's reading of message codes and its layout on the grid, without a host.
//
// Input: four bytes (characters per line 1..64, last row 0..15, the typing delay in force, how
// often a typing pause is cut short by a click), then the message as UTF-8.
//
// Beyond the sanitizers: nothing is printed below the last row of a page or past the end of a
// line; the characters typed are exactly the text without its codes and their parameters (a prefix
// of it when a malformed code stops the message, which then has no further effect); colours stay
// within the palette.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.hpp"
#include "script/message_layout.hpp"
#include "text/text.hpp"

using namespace vunt;

namespace {

// The characters a message types, by the table of codes: each code and its parameters type
// nothing.
std::u32string typedCharacters(std::u32string_view text) {
  std::u32string out;
  for (std::size_t p = 0; p < text.size(); ++p) {
    switch (text[p]) {
      case U'＆': p += 4; break;
      case U'＠': case U'＃': p += 2; break;
      case U'：': p += 1; break;
      case U'￥': case U'＾': case U'＜': case U'＞': break;
      default: out += text[p];
    }
  }
  return out;
}

class Checker : public MessageOutput {
 public:
  Checker(MessageGrid grid, int clickEvery) : grid_(grid), clickEvery_(clickEvery) {}

  void clear() override {
    alive();
    cleared_ = true;
    row_ = 0;
    onRow_ = 0;
  }
  void setColour(int index) override {
    alive();
    VUNT_FUZZ_CHECK(index >= 0 && index < 16, "colours come from the palette");
  }
  void print(std::u32string_view text) override {
    alive();
    VUNT_FUZZ_CHECK(cleared_, "the area is cleared before anything is printed");
    VUNT_FUZZ_CHECK(row_ <= grid_.lastRow, "nothing is printed below the last row");
    onRow_ += text.size();
    VUNT_FUZZ_CHECK(onRow_ <= std::size_t(std::max(grid_.columns, 6)), "a line breaks when it is full");
    if (text.size() == 1) typed += text;  // the indent and speaker names come in longer pieces
  }
  void newLine() override {
    alive();
    VUNT_FUZZ_CHECK(row_ <= grid_.lastRow, "no line break below the last row");
    ++row_;
    onRow_ = 0;
  }
  void clickWait() override { alive(); }
  bool typingDelay(int ms) override {
    alive();
    VUNT_FUZZ_CHECK(ms > 0, "only a positive delay pauses");
    return clickEvery_ > 0 && ++pauses_ % clickEvery_ == 0;
  }
  void malformed(MessageFault) override {
    alive();
    stopped = true;
  }

  std::u32string typed;
  bool stopped = false;

 private:
  void alive() const { VUNT_FUZZ_CHECK(!stopped, "a malformed code ends the message"); }
  MessageGrid grid_;
  int clickEvery_;
  bool cleared_ = false;
  int row_ = 0;
  std::size_t onRow_ = 0;
  int pauses_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const MessageGrid grid{1 + data[0] % 64, data[1] % 16};
  std::array<std::u32string, 16> speakers;
  std::int16_t delay = std::int16_t(data[2] % 11 * 10);
  std::int16_t colour = 0;
  const std::u32string text = fromUtf8(std::string_view(reinterpret_cast<const char*>(data) + 4, size - 4));

  Checker out(grid, data[3] % 4);
  typeMessage(text, grid, MessageMemory{speakers, delay, colour}, out);

  VUNT_FUZZ_CHECK(colour >= 0 && colour < 16, "the text colour stays within the palette");
  VUNT_FUZZ_CHECK(delay >= -90 && delay <= 990, "the delay is two digits times 10 ms");
  for (const auto& name : speakers) VUNT_FUZZ_CHECK(name.size() == 0 || name.size() == 3, "speaker names have three characters");
  const std::u32string want = typedCharacters(text);
  if (out.stopped) VUNT_FUZZ_CHECK(want.compare(0, out.typed.size(), out.typed) == 0, "a stopped message typed a prefix");
  else VUNT_FUZZ_CHECK(out.typed == want, "every character but the codes is typed, once, in order");
  return 0;
}
