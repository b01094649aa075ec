#pragma once
// The fields of a script line decoded from its command's row, before the command runs: every field
// the command always reads, in the row's read order, as a number (a literal or the flag it names,
// read now) or a text, with its bounds checked when the row says. Decoding stops at the first
// fault; the command meets that fault when it reaches the field (or, for bounds checked after all
// fields, when it reads the last one), so a faulty line reports exactly what and when reading the
// fields one by one would.
#include <array>
#include <string>
#include <string_view>

#include "script/commands.hpp"
#include "script/line_code.hpp"
#include "script/state.hpp"

namespace vunt {

struct DecodedFields {
  static constexpr int kSlots = 1 + 1 + kMaxCommandFields;  // field numbers 0..4
  // Only the slots of the fields decoded are set (a slot is read only after its field decoded).
  std::array<i16, kSlots> numbers;
  std::array<std::u32string_view, kSlots> texts;
  // The fault: in the read order, the position of the field that meets it (the field count: after
  // the last field is read), and its error text. -1: no fault.
  int faultAt = -1;
  std::u32string_view fault;
  int count = 0;  // the fields the command always reads
};

// Decodes the fields of the line, decoded once before, into d: flags are read now; texts view into
// the line.
void decodeFields(const CommandInfo& row, const LineCode& line, const FlagTable& flags, DecodedFields& d);

// The position of field n in the row's read order of the fields it always reads, or -1.
inline int readPosition(const CommandInfo& row, int n) {
  return n >= 0 && n < int(row.position.size()) ? row.position[std::size_t(n)] : -1;
}

}  // namespace vunt
