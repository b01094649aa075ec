// The flag commands LET, INC, DEC, FGCL and CLR. Fields are read in a fixed order, which decides
// which error a faulty line reports first and whether a line lacking a field fails.
#include "script/flag_ops.hpp"
#include "script/machine.hpp"

namespace vunt {

// LET,index,value: the value is read before the index.
void cmdLET(Machine& m) {
  const i16 value = m.number(3);
  m.flag(m.number(2)) = value;
}

namespace {

// Out of line: a flag reaches its maximum once in a while, and the text it reads is no cost to a
// plain count.
[[gnu::noinline]] std::u32string modeOf(Machine& m) { return m.CUTA(4); }

}  // namespace

// INC,index,maximum,mode: the mode is read only when the flag stands at the maximum. Counting up
// past 32767 is reported rather than wrapping to -32768.
void cmdINC(Machine& m) {
  i16& f = m.flag(m.number(2));
  const i16 maximum = m.number(3);
  std::optional<i16> next = incremented(f, maximum, [&m] { return modeOf(m); });
  if (!next) m.EEE(U"数値範囲外");
  f = *next;
}

void cmdDEC(Machine& m) {
  i16& f = m.flag(m.number(2));
  f = decremented(f);
}

// FGCL,first,last: the last index is read before the first.
void cmdFGCL(Machine& m) {
  const i16 last = m.number(3);
  const i16 first = m.number(2);
  if (clearFlags(m.s.Flags, first, last)) m.EEE(U"フラグ範囲外");
}

void cmdCLR(Machine& m) { cmdFGCL(m); }

}  // namespace vunt
