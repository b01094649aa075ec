#pragma once
#include <string>
#include <string_view>

namespace vunt {

// The text of a script error report: the error text, the line number in parentheses (in the
// number-to-text form with its leading blank), a lone CR, and the text of the line.
std::u32string errorReportText(std::u32string_view error, int line, std::u32string_view lineText);

}  // namespace vunt
