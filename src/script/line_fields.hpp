#pragma once
// The fields of a script line decoded from its command's row, before the command runs: every field
// the command always reads, in the row's read order, as a number (a literal or the flag it names,
// read now) or a text (the line's own), with its bounds checked when the row says. Decoding stops
// at the first fault; the command meets that fault when it reaches the field (or, for bounds
// checked after all fields, when it reads the last one), so a faulty line reports exactly what and
// when reading the fields one by one would.
#include <array>
#include <string>
#include <string_view>

#include "script/commands.hpp"
#include "script/line_code.hpp"
#include "script/state.hpp"

namespace vunt {

// Decodes the number fields of the line, decoded once before, into d: flags are read now.
void decodeFields(const CommandInfo& row, const LineCode& line, const FlagTable& flags, DecodedFields& d);

}  // namespace vunt
