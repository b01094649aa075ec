// The interpreter: one script line per timer tick.
#include <array>
#include <string_view>

#include "platform/program_end.hpp"
#include "script/commands.hpp"
#include "script/handlers.hpp"
#include "script/machine.hpp"

namespace vunt {

namespace {

// The handler column of the command table, in the table's order.
#define VUNT_COMMAND(word, handler, ...) &handler,
constexpr std::array<CommandHandler, kCommandCount> kHandlers{{VUNT_COMMAND_ROWS}};
#undef VUNT_COMMAND

}  // namespace

CommandHandler handlerOf(std::u32string_view word) {
  const int row = findCommand(word);
  return row < 0 ? nullptr : kHandlers[std::size_t(row)];
}

void Machine::tick() {
  i16& line = s.reg.CurLine;
  const i16 start = line;
  // Field 1 is everything before the first comma; it cannot be missing.
  std::u32string_view text = s.store.ScriptLines[std::size_t(line)];
  std::u32string_view word = text.substr(0, text.find(U','));
  const int row = findCommand(word);
  if (row < 0) EEE(U"命令無し");
  const Wait wait = commandTable()[std::size_t(row)].wait;
  if (wait == Wait::Player || wait == Wait::Message) out.waitingLineBegins();
  kHandlers[std::size_t(row)](*this);
  if (line == start) {
    // Running past the last line of the store is a script error, reported at that last line.
    if (line >= kLastLine) EEE(U"行範囲外");
    ++line;
  }
}

void cmdEOF(Machine&) { throw ProgramEnd{0, "EOF"}; }
void cmdEXIT(Machine&) { throw ProgramEnd{0, "EXIT"}; }

}  // namespace vunt
