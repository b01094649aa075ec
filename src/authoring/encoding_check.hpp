#pragma once
// Whether a script file is text the game reads as its author meant: valid UTF-8 or valid code
// page 932, and not text of a third encoding that happens to decode as one of them.
#include <optional>
#include <string>
#include <string_view>

namespace vunt {

struct EncodingFault {
  bool fatal;  // nothing in the file can be read as meant (UTF-16, NUL bytes)
  int line = 0, column = 0;  // where it shows first; 0 for the whole file
  std::string message, hint;
};

std::optional<EncodingFault> checkEncoding(std::string_view bytes);

}  // namespace vunt
