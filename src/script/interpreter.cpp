// The interpreter: one script line per timer tick.
#include <array>
#include <string_view>

#include "script/command_rows.hpp"
#include "script/commands.hpp"
#include "shell/vunt.hpp"

namespace vunt {

namespace {

// The handler column of the command table, in the table's order.
#define VUNT_COMMAND(word, handler, ...) &Vunt::handler,
constexpr std::array<Vunt::Command, kCommandCount> kHandlers{{VUNT_COMMAND_ROWS}};
#undef VUNT_COMMAND

}  // namespace

Vunt::Command Vunt::handlerOf(std::u32string_view word) {
  const int row = findCommand(word);
  return row < 0 ? nullptr : kHandlers[std::size_t(row)];
}

void Vunt::Timer1_Timer() {
  const i16 start = CurLine;
  // Field 1 is everything before the first comma; it cannot be missing.
  std::u32string_view line = ScriptLines[CurLine];
  std::u32string_view word = line.substr(0, line.find(U','));
  const Command command = handlerOf(word);
  if (!command) EEE(U"命令無し");
  (this->*command)();
  if (CurLine == start) {
    // Running past the last line of the store is a script error, reported at that last line.
    if (CurLine >= kLastLine) EEE(U"行範囲外");
    ++CurLine;
  }
}

void Vunt::cmdEOF() { throw ProgramEnd{0, "EOF"}; }
void Vunt::cmdEXIT() { throw ProgramEnd{0, "EXIT"}; }

}  // namespace vunt
