#pragma once
// Splitting a script file into its lines, without any host.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>
#include <string>

namespace vunt {

// The lines of a decoded script: a line ends at CR LF or a lone CR, and a lone LF belongs to its
// line; in a text without any CR a line ends at LF instead. The line end is not part of the line, a last line without a line end counts, and a line end after the last line adds
// no empty line. At most maxLines lines are cut; the rest of the text is left alone.
std::vector<std::u32string> splitScriptLines(std::u32string_view text, std::size_t maxLines = SIZE_MAX);
// The number of lines splitScriptLines cuts from the text, counted without cutting them.
std::size_t countScriptLines(std::u32string_view text);

}  // namespace vunt
