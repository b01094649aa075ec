#pragma once
// The script machine: the interpreter's procedures over a ScriptState, talking to the window only
// through a ScriptOutput. One tick runs one line; the command handlers are free functions of a
// Machine, one per row of the command table (command_rows.hpp).
#include <string>

#include "script/line_code.hpp"
#include "script/line_fields.hpp"
#include "script/output.hpp"
#include "script/state.hpp"

namespace vunt {

struct LineMap;

class Machine {
 public:
  Machine(ScriptState& state, ScriptOutput& output) : s(state), out(output) {}

  ScriptState& s;
  ScriptOutput& out;
  // The author's line map, for the error report's source position; none when null.
  const LineMap* lineMap = nullptr;

  // One timer tick: runs line CurLine and moves on unless the command moved. Inline, as a script
  // runs millions of lines a second: a plain line goes straight to its handler.
  [[gnu::always_inline]] void tick() {
    i16& line = s.reg.CurLine;
    const i16 start = line;
    const LineCode& code = lineCode(start);
    takenCount = 0;
    if (code.plain) [[likely]] {
      line_ = &code;
      fields_ = &code.fixed;
    } else {
      beginLine(code);
    }
    code.handler(*this);
    if (line == start) {
      // Running past the last line of the store is a script error, reported at that last line.
      if (line >= kLastLine) [[unlikely]] pastLastLine();
      ++line;
    }
  }

  // Field n of the line that runs, decoded from its command's row: a number or a text. A fault of
  // the field (missing, not a number, out of bounds) is reported here, when the command reaches
  // it. Fields a command reads only sometimes, and fields of other lines, are read with CUTA/CUTV.
  i16 number(int n) {
    take(n);
    return fields_->numbers[std::size_t(n)];
  }
  std::u32string_view text(int n) {
    take(n);
    return line_->texts[std::size_t(n)];
  }
  // Field n of the line that runs as a condition, evaluated on the flags now: -1 true, 0 false.
  i16 condition(int n) {
    take(n);
    std::u32string_view fault;
    const i16 holds = codes_.evaluate(*line_, s.Flags, &fault);
    if (!fault.empty()) [[unlikely]] conditionFault(fault);
    return holds;
  }
  // With recordTaken, the fields the running command has taken, in order, for the test that holds
  // each handler to its row. Off in play: every field of every line would pay for the record.
  bool recordTaken = false;
  std::array<int, kMaxCommandFields> taken{};
  int takenCount = 0;

  void ACMLOAD(const std::u32string& fileName);
  std::u32string CUTA(i16 n);
  // Inline for fields 1..4, which are decoded with their line; other fields are cut from the
  // line's text.
  i16 CUTV(i16 n) {
    if (n < 1 || n >= LineCode::kFields) return cutNumber(n);
    const LineCode& code = lineCode(s.reg.CurLine);
    if (!code.has(n)) [[unlikely]] EEE(U"引数無し");
    return valueOf(code.numbers[std::size_t(n)]);
  }
  [[noreturn]] void EEE(const std::u32string& text);
  i16 TCHK(std::u32string_view expression);
  void CMST(i16 menu, std::u32string_view text);
  i16 CMSL(i16 startMenu);
  void MESHG(std::u32string_view text);
  void TWAIT(i16 ms);

  // The flag with this index; an index outside 0..30 is a script error.
  i16& flag(int index) {
    if (index < 0 || index >= kFlagCount) EEE(U"フラグ範囲外");
    return s.Flags[std::size_t(index)];
  }
  // Continues at a line: CurLine becomes the target; a target outside the store is a script error.
  void jumpTo(int target) {
    if (target < 0 || target > kLastLine) EEE(U"行範囲外");
    s.reg.CurLine = i16(target);
  }

  // Line n as decoded once (n in 0..1000).
  const LineCode& lineCode(int n) { return codes_.at(s.store, n); }
  // The store was loaded again: lines are decoded afresh.
  void forgetDecodedLines() { codes_.forget(); }

 private:
  // Notes field n as taken and reports its fault when the command has reached it; inline, as
  // every field of every line comes through here.
  void take(int n) {
    if (recordTaken && takenCount < int(taken.size())) [[unlikely]] taken[std::size_t(takenCount++)] = n;
    if (fields_->faultAt >= 0) fieldFault(n);
  }
  void fieldFault(int n);
  // The tick's longer way: no command, a waiting command, fields that name flags.
  void beginLine(const LineCode& code);
  [[noreturn]] void pastLastLine();
  i16 cutNumber(i16 n);
  // A number field's value: the literal, or the flag it names as the flag stands now.
  i16 valueOf(const NumberField& v) {
    if (v.kind == NumberField::Literal) return i16(v.value);
    if (v.kind == NumberField::FlagRef) return s.Flags[std::size_t(v.value)];
    numberFault(v);
  }
  [[noreturn]] void numberFault(const NumberField& v);
  [[noreturn]] void conditionFault(std::u32string_view fault);
  LineCodes codes_;
  const LineCode* line_ = nullptr;
  const DecodedFields* fields_ = nullptr;  // the running line's: its own, or decodedNow_
  DecodedFields decodedNow_;
};

}  // namespace vunt
