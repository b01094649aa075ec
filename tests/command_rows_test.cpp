// Each handler against its row of the command table: it takes exactly the fields the row says it
// always reads, in the row's order; and the faults of decoded fields meet the game when and as
// reading the fields one by one would. The machine runs here with an output that only records, so
// these tests need no window and no host.
#include <gtest/gtest.h>

#include <map>

#include "platform/program_end.hpp"
#include "script/commands.hpp"
#include "script/machine.hpp"
#include "quiet_output.hpp"
#include "text/text.hpp"

using namespace vunt;
using vunt::test::QuietOutput;
using vunt::test::Stopped;

namespace {

// A good value for each kind of field.
const std::map<FieldKind, std::u32string> kGood{
    {FieldKind::Number, U"1"},       {FieldKind::FlagIndex, U"1"},  {FieldKind::Line, U"3"},
    {FieldKind::MenuNumber, U"0"},   {FieldKind::EntryIndex, U"0"}, {FieldKind::Slot, U"0"},
    {FieldKind::LabelIndex, U"0"},   {FieldKind::Stage, U"1"},      {FieldKind::SoundFlags, U"1"},
    {FieldKind::Text, U"x"},         {FieldKind::Condition, U"F01=01"}, {FieldKind::Message, U"a"},
    {FieldKind::MenuText, U"＊a"},   {FieldKind::EntryText, U"＊a"}, {FieldKind::Picture, U"p"},
    {FieldKind::Sound, U"s"},        {FieldKind::Mode, U"L"}};

// Runs one line as line 1 of a script whose line 2 is "CASE,0" and line 3 "ENDCM"; the error
// report's text, or empty.
std::u32string runLine(const std::u32string& line, Machine*& ran, std::array<int, kMaxCommandFields>* taken = nullptr,
                       int* count = nullptr) {
  auto state = std::make_unique<ScriptState>();
  state->store.ScriptLines[1] = line;
  state->store.ScriptLines[2] = U"CASE,0";
  state->store.ScriptLines[3] = U"ENDCM";
  state->reg.CurLine = 1;
  state->Flags[1] = 1;
  state->menu.MenuItems[0][0] = U"＊a";
  QuietOutput out(*state);
  Machine m(*state, out);
  m.recordTaken = true;
  ran = &m;
  std::u32string report;
  try {
    m.tick();
  } catch (const Stopped& s) {
    report = s.report;
  } catch (const ProgramEnd&) {
  }
  if (taken) *taken = m.taken;
  if (count) *count = m.takenCount;
  ran = nullptr;
  return report;
}

TEST(CommandRows, EveryHandlerTakesItsRowsFieldsInTheRowsOrder) {
  for (const CommandInfo& c : commandTable()) {
    std::u32string line(c.word);
    for (int n = 2; n <= 1 + kMaxCommandFields; ++n)
      if (const FieldInfo* f = c.field(n)) line += U"," + kGood.at(f->kind);
    Machine* m = nullptr;
    std::array<int, kMaxCommandFields> taken{};
    int count = 0;
    const std::u32string report = runLine(line, m, &taken, &count);
    std::vector<int> expected, got(taken.begin(), taken.begin() + count);
    for (const FieldInfo& f : c.fields())
      if (f.use == FieldUse::Always) expected.push_back(f.number);
    EXPECT_EQ(got, expected) << c.asciiWord << " (" << toUtf8(report) << ")";
  }
}

TEST(CommandRows, DecodedFieldsFailWhenAndAsReadingThemOneByOne) {
  Machine* m = nullptr;
  // Bounds checked as each field is read: the first field's bound before the second's syntax.
  EXPECT_EQ(runLine(U"INC,99,abc", m), U"フラグ範囲外");
  EXPECT_EQ(runLine(U"LBHGA,3", m), U"ラベル範囲外");
  EXPECT_EQ(runLine(U"CMSL,10,3", m), U"メニュー範囲外");
  // Bounds checked once all fields are read: a later field's fault comes first.
  EXPECT_EQ(runLine(U"ADDCM,10,0", m), U"引数無し");
  EXPECT_EQ(runLine(U"ADDCM,10,9,＊a", m), U"メニュー範囲外");
  EXPECT_EQ(runLine(U"ADDCM,0,9,＊a", m), U"項目範囲外");
  EXPECT_EQ(runLine(U"CMST,99", m), U"引数無し");
  EXPECT_EQ(runLine(U"BEED,0,abc", m), U"数値不正");
  EXPECT_EQ(runLine(U"BEED,205,1", m), U"ステージ範囲外");
  // FGCL's own rule: nothing is cleared, and nothing is wrong, when first > last.
  EXPECT_EQ(runLine(U"FGCL,40,5", m), U"");
  EXPECT_EQ(runLine(U"FGCL,abc,99", m), U"数値不正");
  EXPECT_EQ(runLine(U"FGCL,5,40", m), U"フラグ範囲外");
  // Lines are checked where the command jumps: FP's own check comes before the end line's range.
  EXPECT_EQ(runLine(U"FP,F0,2000", m), U"FP");
  EXPECT_EQ(runLine(U"GOTO,1001", m), U"行範囲外");
  EXPECT_EQ(runLine(U"GOTO,F31", m), U"フラグ範囲外");
  EXPECT_EQ(runLine(U"LET,1,99999", m), U"数値範囲外");
  // A field read only sometimes is not read when the line does not need it.
  EXPECT_EQ(runLine(U"IF,F01=01", m), U"");
  EXPECT_EQ(runLine(U"IF,F01=00", m), U"引数無し");
}

TEST(CommandRows, FieldKindsAreListedInTheirOwnOrder) {
  for (int k = 0; k <= int(FieldKind::Mode); ++k) EXPECT_EQ(int(fieldKindInfo(FieldKind(k)).kind), k);
}

}  // namespace
