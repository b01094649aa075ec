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
  const LineCode& code = lineCode(line);
  if (code.row < 0) EEE(U"命令無し");
  const CommandInfo& info = commandTable()[std::size_t(code.row)];
  if (info.wait == Wait::Player || info.wait == Wait::Message) out.waitingLineBegins();
  decode(info);
  kHandlers[std::size_t(code.row)](*this);
  if (line == start) {
    // Running past the last line of the store is a script error, reported at that last line.
    if (line >= kLastLine) EEE(U"行範囲外");
    ++line;
  }
}

void Machine::decode(const CommandInfo& row) {
  row_ = &row;
  line_ = &lineCode(s.reg.CurLine);
  takenCount = 0;
  if (row.alwaysCount == 0) {
    fields_.faultAt = -1;
    return;
  }
  decodeFields(row, *line_, s.Flags, fields_);
}

void Machine::take(int n) {
  const int at = readPosition(*row_, n);
  if (takenCount < int(taken.size())) taken[std::size_t(takenCount++)] = n;
  if (fields_.faultAt < 0) return;
  // A fault of the bounds checked once all fields are read meets the command at its last field.
  const int count = fields_.count;
  if (fields_.faultAt <= at || (fields_.faultAt == count && at == count - 1)) EEE(std::u32string(fields_.fault));
}

i16 Machine::number(int n) {
  take(n);
  return fields_.numbers[std::size_t(n)];
}

std::u32string_view Machine::text(int n) {
  take(n);
  return fields_.texts[std::size_t(n)];
}

i16 Machine::condition(int n) {
  take(n);
  std::u32string_view fault;
  const i16 holds = codes_.evaluate(*line_, s.Flags, &fault);
  if (!fault.empty()) EEE(std::u32string(fault));
  return holds;
}

void cmdEOF(Machine&) { throw ProgramEnd{0, "EOF"}; }
void cmdEXIT(Machine&) { throw ProgramEnd{0, "EXIT"}; }

}  // namespace vunt
