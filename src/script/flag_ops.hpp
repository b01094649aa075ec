#pragma once
// What INC, DEC, FGCL and CLR do to the flag table, as pure functions without a host. The commands
// read their fields and report errors; these only compute.
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>

namespace vunt {

// INC: a flag that differs from the maximum counts up by 1 (a flag above the maximum keeps
// counting); at the maximum, mode "L" wraps it to 1 and anything else leaves it. readMode is called
// only at the maximum, since the mode field is read only then. Nothing when counting up would pass
// 32767.
template <class ReadMode>
std::optional<std::int16_t> incremented(std::int16_t value, std::int16_t maximum, ReadMode&& readMode) {
  if (value != maximum) {
    if (value == std::numeric_limits<std::int16_t>::max()) return std::nullopt;
    return std::int16_t(value + 1);
  }
  return std::u32string(readMode()) == U"L" ? std::int16_t(1) : value;
}

// DEC: a flag above 0 counts down by 1; 0 and below stay.
constexpr std::int16_t decremented(std::int16_t value) { return value > 0 ? std::int16_t(value - 1) : value; }

// FGCL and CLR: clears the flags first..last in increasing order (nothing when first > last). At the
// first index outside the table it stops and returns that index; the flags before it are cleared.
inline std::optional<int> clearFlags(std::span<std::int16_t> flags, int first, int last) {
  for (int i = first; i <= last; ++i) {
    if (i < 0 || std::size_t(i) >= flags.size()) return i;
    flags[std::size_t(i)] = 0;
  }
  return std::nullopt;
}

}  // namespace vunt
