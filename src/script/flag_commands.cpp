// The flag commands LET, INC, DEC, FGCL and CLR. Fields are read in a fixed order, which decides
// which error a faulty line reports first and whether a line lacking a field fails.
#include "script/flag_ops.hpp"
#include "shell/vunt.hpp"

namespace vunt {

// LET,index,value: the value is read before the index.
void Vunt::cmdLET() {
  const i16 value = CUTV(3);
  flag(CUTV(2)) = value;
}

// INC,index,maximum,mode: the mode is read only when the flag stands at the maximum. Counting up
// past 32767 is reported rather than wrapping to -32768.
void Vunt::cmdINC() {
  i16& f = flag(CUTV(2));
  const i16 maximum = CUTV(3);
  std::optional<i16> next = incremented(f, maximum, [this] { return CUTA(4); });
  if (!next) EEE(U"数値範囲外");
  f = *next;
}

void Vunt::cmdDEC() {
  i16& f = flag(CUTV(2));
  f = decremented(f);
}

// FGCL,first,last: the last index is read before the first.
void Vunt::cmdFGCL() {
  const i16 last = CUTV(3);
  const i16 first = CUTV(2);
  if (clearFlags(Flags, first, last)) EEE(U"フラグ範囲外");
}

void Vunt::cmdCLR() { cmdFGCL(); }

}  // namespace vunt
