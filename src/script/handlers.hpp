#pragma once
// The command handlers, one per row of the command table, each a function of the Machine.
#include <string_view>

#include "script/command_rows.hpp"

namespace vunt {

class Machine;
using CommandHandler = void (*)(Machine&);

#define VUNT_COMMAND(word, handler, ...) void handler(Machine& m);
VUNT_COMMAND_ROWS
#undef VUNT_COMMAND

// The handler for a command word; null when the word is no command.
CommandHandler handlerOf(std::u32string_view word);
// The handler of a row of the command table; null for -1, no command.
CommandHandler handlerAt(int row);

}  // namespace vunt
