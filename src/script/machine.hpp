#pragma once
// The script machine: the interpreter's procedures over a ScriptState, talking to the window only
// through a ScriptOutput. One tick runs one line; the command handlers are free functions of a
// Machine, one per row of the command table (command_rows.hpp).
#include <string>

#include "script/output.hpp"
#include "script/state.hpp"

namespace vunt {

class LineMap;

class Machine {
 public:
  Machine(ScriptState& state, ScriptOutput& output) : s(state), out(output) {}

  ScriptState& s;
  ScriptOutput& out;
  // The author's line map, for the error report's source position; none when null.
  const LineMap* lineMap = nullptr;

  // One timer tick: runs line CurLine and moves on unless the command moved.
  void tick();

  void ACMLOAD(const std::u32string& fileName);
  std::u32string CUTA(i16 n);
  i16 CUTV(i16 n);
  [[noreturn]] void EEE(const std::u32string& text);
  i16 TCHK(const std::u32string& expression);
  void CMST(i16 menu, const std::u32string& text);
  i16 CMSL(i16 startMenu);
  void MESHG(const std::u32string& text);
  void TWAIT(i16 ms);

  // The flag with this index; an index outside 0..30 is a script error.
  i16& flag(int index);
  // Continues at a line: CurLine becomes the target; a target outside the store is a script error.
  void jumpTo(int target);
};

}  // namespace vunt
