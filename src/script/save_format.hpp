#pragma once
// The save file: the 31 flags as text, one line each, F0 first. A line is the number in the
// print form (a blank in place of the sign for 0 and above, "-" for negative values) followed by
// CR LF. The reader is looser, as the game always was: before each number blanks and line ends
// are skipped, and a number ends at a blank, a comma or a line end, so lines without blanks and
// numbers separated by commas read the same. Numbers after the 31st are ignored.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vunt {

constexpr int kSavedFlags = 31;
using SavedFlags = std::array<std::int16_t, kSavedFlags>;

// The file's bytes for these flags.
std::string saveFileText(const SavedFlags& flags);

struct SaveFileRead {
  bool ok = false;
  SavedFlags flags{};
  int bad = -1;        // when not ok: the index of the value that could not be read (0..30)
  std::string reason;  // when not ok: why, in a few words for the player (UTF-8)
};

// Reads the 31 numbers; on any fault (a missing number, a number that is not a whole decimal
// number or does not fit in 16 bits) nothing is returned but the fault.
SaveFileRead readSaveFile(std::string_view text);

}  // namespace vunt
