#pragma once
// What the tools say about a line whose first field is no command word: the likely slip (a
// full-width comma after the word, lower case, a blank before it, a near miss) and its mend.
// vunt-asm and vunt-lint say the same for the same line.
#include <string>
#include <string_view>

namespace vunt {

struct CommandHint {
  std::string message;  // "unknown command ...", or the slip itself
  std::string hint;     // never empty
  std::size_t width;    // characters of the word the caret marks
};

CommandHint unknownCommand(std::u32string_view word);

}  // namespace vunt
