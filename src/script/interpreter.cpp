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

CommandHandler handlerOf(std::u32string_view word) { return handlerAt(findCommand(word)); }

CommandHandler handlerAt(int row) {
  return row < 0 || row >= kCommandCount ? nullptr : kHandlers[std::size_t(row)];
}

void Machine::beginLine(const LineCode& code) {
  if (code.row < 0) EEE(U"命令無し");
  if (code.waits) out.waitingLineBegins();
  line_ = &code;
  if (code.fieldsFromFlags) {
    decodeFields(commandTable()[std::size_t(code.row)], code, s.Flags, decodedNow_);
    fields_ = &decodedNow_;
  } else {
    fields_ = &code.fixed;
  }
}

void Machine::pastLastLine() { EEE(U"行範囲外"); }

void Machine::fieldFault(int n) {
  const int at = n >= 0 && n < LineCode::kFields ? line_->position[std::size_t(n)] : -1;
  const DecodedFields& d = *fields_;
  // A fault of the bounds checked once all fields are read meets the command at its last field.
  if (d.faultAt <= at || (d.faultAt == d.count && at == d.count - 1)) EEE(std::u32string(d.fault));
}

void Machine::conditionFault(std::u32string_view fault) { EEE(std::u32string(fault)); }

void cmdEOF(Machine&) { throw ProgramEnd{0, "EOF"}; }
void cmdEXIT(Machine&) { throw ProgramEnd{0, "EXIT"}; }

}  // namespace vunt
