// Control flow: jumps, the one-level subroutine call, branches and the FP/FJ tables. Every target
// goes through jumpTo, so no line outside the store is ever run; a target equal to the executing
// line is no jump, and the tick moves on to the next line.
#include "script/machine.hpp"

namespace vunt {

namespace {

// The line k lines below the executing one; a sum beyond 16 bits is reported rather than wrapped.
i16 lineBelow(Machine& m, int k) {
  const int line = int(m.s.reg.CurLine) + k;
  if (line > 32767 || line < -32768) m.EEE(U"数値範囲外");
  return i16(line);
}

}  // namespace

void cmdDO(Machine&) {}
void cmdENDIF(Machine&) {}
void cmdENDEV(Machine&) {}
void cmdENDFP(Machine&) {}
void cmdENDFJ(Machine&) {}

void cmdGOTO(Machine& m) { m.jumpTo(m.number(2)); }
void cmdDORT(Machine& m) { cmdGOTO(m); }
void cmdDOEX(Machine& m) { cmdGOTO(m); }
void cmdLOOP(Machine& m) { cmdGOTO(m); }
void cmdELSE(Machine& m) { cmdGOTO(m); }

// ReturnLine is one register: a second GOSUB before the RET overwrites it.
void cmdGOSUB(Machine& m) {
  m.s.reg.ReturnLine = lineBelow(m, 1);
  m.jumpTo(m.number(2));
}

void cmdRET(Machine& m) { m.jumpTo(m.s.reg.ReturnLine); }

// IF,expression,line: the line is read only when the expression is false.
void cmdIF(Machine& m) {
  if (m.condition(2) == 0) m.jumpTo(m.CUTV(3));
}

void cmdEVA(Machine& m) { cmdIF(m); }

// FP,index,end: prints field 1 of the line k lines below (k = the flag's value), then continues at
// the end line. Everything is checked before anything is printed or moved, so a faulty FP reports
// at its own line.
void cmdFP(Machine& m) {
  i16& end = m.s.reg.FpEndLine;
  end = m.number(3);
  const i16 k = m.flag(m.number(2));
  const i16 selected = lineBelow(m, k);
  if (end < selected || k < 1) m.EEE(U"FP");
  if (end > kLastLine) m.EEE(U"行範囲外");
  // While the message is shown, CurLine is the message line.
  m.jumpTo(selected);
  m.MESHG(m.CUTA(1));
  m.jumpTo(end);
}

// FJ,index,last: continues at the line number held in field 1 of the line k lines below. A target
// naming the FJ line itself is no jump, so the line below the FJ line runs next.
void cmdFJ(Machine& m) {
  const i16 k = m.flag(m.number(2));
  const i16 last = m.number(3);
  const i16 selected = lineBelow(m, k);
  if (last < selected || k < 1) m.EEE(U"FJ");
  m.jumpTo(selected);
  m.jumpTo(m.CUTV(1));
}

}  // namespace vunt
