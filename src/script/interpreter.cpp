// The interpreter: one script line per timer tick.
#include <array>
#include <string_view>
#include <utility>

#include "script/fields.hpp"
#include "shell/vunt.hpp"

namespace vunt {

namespace {

using Command = void (Vunt::*)();

// The 40 keywords in their order of comparison.
const std::array<std::pair<std::u32string_view, Command>, 40> kKeywords{{
    {U"CMST", &Vunt::cmdCMST},   {U"CMSL", &Vunt::cmdCMSL},   {U"CASE", &Vunt::cmdCASE},
    {U"ENDCM", &Vunt::cmdENDCM}, {U"DO", &Vunt::cmdDO},       {U"DORT", &Vunt::cmdDORT},
    {U"DOEX", &Vunt::cmdDOEX},   {U"LOOP", &Vunt::cmdLOOP},   {U"GOTO", &Vunt::cmdGOTO},
    {U"GOSUB", &Vunt::cmdGOSUB}, {U"RET", &Vunt::cmdRET},     {U"IF", &Vunt::cmdIF},
    {U"ELSE", &Vunt::cmdELSE},   {U"ENDIF", &Vunt::cmdENDIF}, {U"EVA", &Vunt::cmdEVA},
    {U"ENDEV", &Vunt::cmdENDEV}, {U"FP", &Vunt::cmdFP},       {U"ENDFP", &Vunt::cmdENDFP},
    {U"FJ", &Vunt::cmdFJ},       {U"ENDFJ", &Vunt::cmdENDFJ}, {U"INC", &Vunt::cmdINC},
    {U"DEC", &Vunt::cmdDEC},     {U"FGCL", &Vunt::cmdFGCL},   {U"MES", &Vunt::cmdMES},
    {U"LET", &Vunt::cmdLET},     {U"ADDCM", &Vunt::cmdADDCM}, {U"DELCM", &Vunt::cmdDELCM},
    {U"CLR", &Vunt::cmdCLR},     {U"GHG", &Vunt::cmdGHG},     {U"GHGD", &Vunt::cmdGHGD},
    {U"ITMS", &Vunt::cmdITMS},   {U"ITCG", &Vunt::cmdITCG},   {U"SOUND", &Vunt::cmdSOUND},
    {U"LBHGA", &Vunt::cmdLBHGA}, {U"LBHGV", &Vunt::cmdLBHGV}, {U"BEED", &Vunt::cmdBEED},
    {U"LOAD", &Vunt::cmdLOAD},   {U"SAVE", &Vunt::cmdSAVE},   {U"EOF", &Vunt::cmdEOF},
    {U"EXIT", &Vunt::cmdEXIT},
}};

}  // namespace

void Vunt::Timer1_Timer() {
  const i16 start = CurLine;
  // Field 1 is everything before the first comma; it cannot be missing.
  std::u32string_view line = ScriptLines[CurLine];
  std::u32string_view word = line.substr(0, line.find(U','));
  Command command = nullptr;
  for (const auto& [keyword, run] : kKeywords) {
    if (keyword == word) {
      command = run;
      break;
    }
  }
  if (!command) EEE(U"命令無し");
  (this->*command)();
  if (CurLine == start) {
    // Running past the last line of the store is a script error, reported at that last line.
    if (CurLine >= kLastLine) EEE(U"行範囲外");
    ++CurLine;
  }
}

void Vunt::cmdEOF() { throw ProgramEnd{0, "EOF"}; }
void Vunt::cmdEXIT() { throw ProgramEnd{0, "EXIT"}; }

}  // namespace vunt
