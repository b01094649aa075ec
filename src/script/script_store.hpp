#pragma once
// Splitting a script file into its lines, without any host.
#include <optional>
#include <string_view>
#include <vector>
#include <string>

namespace vunt {

// The lines of a decoded script: a line ends at CR LF, a lone CR or a lone LF; the line end is not
// part of the line, a last line without a line end counts, and a line end after the last line adds
// no empty line.
std::vector<std::u32string> splitScriptLines(std::u32string_view text);

}  // namespace vunt
