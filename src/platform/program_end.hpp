#pragma once
#include <string>

namespace vunt {

// Thrown to end the program from wherever it stands, however deep inside a wait; the host's top
// level catches it. No script line runs after it is thrown.
struct ProgramEnd {
  int status;        // process exit status
  std::string how;   // "EOF", "EXIT", "close", "error", "input-exhausted"
};

}  // namespace vunt
