// Control flow: jumps, the one-level subroutine call, branches and the FP/FJ tables. Every target
// goes through jumpTo, so no line outside the store is ever run; a target equal to the executing
// line is no jump, and the tick moves on to the next line.
#include "shell/vunt.hpp"

namespace vunt {

namespace {

// The line k lines below the executing one; a sum beyond 16 bits is reported rather than wrapped.
i16 lineBelow(Vunt& v, int k) {
  const int line = int(v.CurLine) + k;
  if (line > 32767 || line < -32768) v.EEE(U"数値範囲外");
  return i16(line);
}

}  // namespace

void Vunt::cmdDO() {}
void Vunt::cmdENDIF() {}
void Vunt::cmdENDEV() {}
void Vunt::cmdENDFP() {}
void Vunt::cmdENDFJ() {}

void Vunt::cmdGOTO() { jumpTo(CUTV(2)); }
void Vunt::cmdDORT() { cmdGOTO(); }
void Vunt::cmdDOEX() { cmdGOTO(); }
void Vunt::cmdLOOP() { cmdGOTO(); }
void Vunt::cmdELSE() { cmdGOTO(); }

// ReturnLine is one register: a second GOSUB before the RET overwrites it.
void Vunt::cmdGOSUB() {
  ReturnLine = lineBelow(*this, 1);
  jumpTo(CUTV(2));
}

void Vunt::cmdRET() { jumpTo(ReturnLine); }

// IF,expression,line: the line is read only when the expression is false.
void Vunt::cmdIF() {
  if (TCHK(CUTA(2)) == 0) jumpTo(CUTV(3));
}

void Vunt::cmdEVA() { cmdIF(); }

// FP,index,end: prints field 1 of the line k lines below (k = the flag's value), then continues at
// the end line. Everything is checked before anything is printed or moved, so a faulty FP reports
// at its own line.
void Vunt::cmdFP() {
  FpEndLine = CUTV(3);
  const i16 k = flag(CUTV(2));
  const i16 selected = lineBelow(*this, k);
  if (FpEndLine < selected || k < 1) EEE(U"FP");
  if (FpEndLine > kLastLine) EEE(U"行範囲外");
  // While the message is shown, CurLine is the message line.
  jumpTo(selected);
  MESHG(CUTA(1));
  jumpTo(FpEndLine);
}

// FJ,index,last: continues at the line number held in field 1 of the line k lines below. A target
// naming the FJ line itself is no jump, so the line below the FJ line runs next.
void Vunt::cmdFJ() {
  const i16 k = flag(CUTV(2));
  const i16 last = CUTV(3);
  const i16 selected = lineBelow(*this, k);
  if (last < selected || k < 1) EEE(U"FJ");
  jumpTo(selected);
  jumpTo(CUTV(1));
}

}  // namespace vunt
