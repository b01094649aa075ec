#pragma once
// The script language's commands as data: for each of the 40 command words, the fields it reads
// (in the order it reads them), how it moves control, whether it waits, and what it does. The
// rows themselves live in command_rows.hpp, each with its handler; this header describes them
// without the main window, so that authoring tools (the linter, the assembler, the reference)
// read the same table the interpreter dispatches from.
#include <array>
#include <span>
#include <string>
#include <string_view>

namespace vunt {

// What a field holds.
enum class FieldKind {
  Number,      // any 16-bit number (a literal or F and a flag index)
  FlagIndex,   // the number of a flag, 0..30
  Line,        // a line number of the script
  MenuNumber,  // 0..9
  EntryIndex,  // 0..3
  Slot,        // an item-text slot, 0..3
  LabelIndex,  // an LBHG label, 0..2
  Stage,       // a stage of vunt.pdt, 1..204
  SoundFlags,  // the play flags of a sound (1 asynchronous, 2 silent when missing, 8 loop, 16 no interrupt)
  Text,        // any text, shown as it is
  Condition,   // a comparison expression
  Message,     // a message with its codes (＆＠＃￥＾＜＞：)
  MenuText,    // a CMST menu text: marks, labels and "・"
  EntryText,   // one menu entry: a mark and its label
  Picture,     // a picture name, without ".szg"
  Sound,       // a sound name, without ".wav"
  Mode,        // INC's "L" (wrap to 1) or "S" (stay)
};

// When a command reads a field.
enum class FieldUse {
  Always,     // every time the line runs: a missing field stops the game
  Sometimes,  // only in the case named by FieldInfo::when
  Search,     // never when the line runs; read by CMSL's search for the CASE of a choice
};

struct FieldInfo {
  int number;              // field number; field 1 is the command word
  FieldKind kind;
  const char* name;        // placeholder in the syntax line, e.g. "flag"
  FieldUse use = FieldUse::Always;
  const char* when = "";   // for Sometimes and Search fields: when the field is read
};

// Where control goes after the command.
enum class Flow {
  Next,       // falls through to the next line
  Mark,       // does nothing and falls through: a word that marks a block (DO, ENDIF, ENDCM, ...)
  Jump,       // continues at the line in field 2
  Branch,     // falls through or continues at the line in field 3 (IF, EVA)
  Call,       // remembers the next line in the single return register, continues at field 2
  Return,     // continues at the single return register
  PrintPick,  // prints the line the flag picks from the block below, continues at the end line (FP)
  JumpPick,   // continues at the line number held in the line the flag picks (FJ)
  Menu,       // waits for a choice, continues after the CASE line that carries its value (CMSL)
  MenuEnd,    // continues at the end line of the menu shown last (CASE)
  Puzzle,     // hands the window to the puzzle; the next line follows when it ends (BEED)
  End,        // ends the program
};

// Whether a command waits inside its tick.
enum class Wait {
  No,
  Player,   // always waits for the player (a menu, the picture window, the puzzle)
  Message,  // waits for a click where the message asks for one or fills a page
  Sound,    // with play flags 0, until the sound has played
};

// The part a command plays in a block of lines.
enum class Block {
  None,
  PrintTable,  // FP: prints one of the data lines below it, up to its end line (field 3)
  JumpTable,   // FJ: jumps through one of the data lines below it, up to its last line (field 3)
  PrintTableEnd,  // ENDFP: closes an FP table
  JumpTableEnd,   // ENDFJ: closes an FJ table
  MenuSearch,  // CMSL: searches the lines below it for the CASE of the choice, up to ENDCM
  SearchCase,  // CASE: what the search looks for, its value in field 2
  SearchEnd,   // ENDCM: where the search ends
};

// The row that closes a table of this row's kind (ENDFP for FP), or nothing.
struct CommandInfo;
const CommandInfo* tableEndOf(const CommandInfo& c);

// What a command does to the flags.
enum class Effect {
  None,
  SetFlag,     // the flag of field 2 takes the value of field 3 (LET)
  CountUp,     // the flag of field 2 counts up to field 3 (INC)
  CountDown,   // the flag of field 2 counts down to 0 (DEC)
  ClearFlags,  // the flags from field 2 to field 3 become 0 (FGCL, CLR)
  MenuChoice,  // F0 takes the choice made in menu 0 (CMSL)
  Puzzle,      // F20 counts the attempts left, F21 takes the outcome (BEED)
  SaveFlags,   // every flag goes into the save file (SAVE)
  LoadFlags,   // every flag takes the save file's value, when there is one (LOAD)
};

// When the bounds of a command's fields are checked: as each is read; once all are read (so a
// missing or malformed later field is reported before an out-of-range earlier one); or by the
// command itself, whose rule decides which values it uses (FGCL clears nothing when first > last).
enum class Checks { WhenRead, AfterFields, Command };

// What a kind of field holds: a number (a literal or a flag's value) or a text, the values it may
// take, and the error a value outside them stops the game with. Lines are checked where the
// command jumps, not where it reads them (atRead false).
struct FieldKindInfo {
  FieldKind kind;
  bool number;
  int low, high;
  std::u32string_view error;  // empty: any 16-bit value is good
  bool atRead = true;
};
// In the order of FieldKind.
inline constexpr std::array<FieldKindInfo, 17> kFieldKinds{{
    {FieldKind::Number, true, -32768, 32767, U""},
    {FieldKind::FlagIndex, true, 0, 30, U"フラグ範囲外"},
    {FieldKind::Line, true, 0, 1000, U"行範囲外", false},
    {FieldKind::MenuNumber, true, 0, 9, U"メニュー範囲外"},
    {FieldKind::EntryIndex, true, 0, 3, U"項目範囲外"},
    {FieldKind::Slot, true, 0, 3, U"スロット範囲外"},
    {FieldKind::LabelIndex, true, 0, 2, U"ラベル範囲外"},
    {FieldKind::Stage, true, 1, 204, U"ステージ範囲外"},
    {FieldKind::SoundFlags, true, -32768, 32767, U""},
    {FieldKind::Text, false, 0, 0, U""},
    {FieldKind::Condition, false, 0, 0, U""},
    {FieldKind::Message, false, 0, 0, U""},
    {FieldKind::MenuText, false, 0, 0, U""},
    {FieldKind::EntryText, false, 0, 0, U""},
    {FieldKind::Picture, false, 0, 0, U""},
    {FieldKind::Sound, false, 0, 0, U""},
    {FieldKind::Mode, false, 0, 0, U""},
}};
inline const FieldKindInfo& fieldKindInfo(FieldKind k) { return kFieldKinds[std::size_t(k)]; }

inline constexpr int kMaxCommandFields = 3;

struct CommandInfo {
  std::u32string_view word;
  std::string_view asciiWord;  // the same word as ASCII, for tools that print it
  Flow flow;
  Wait wait;
  Block block;
  Effect effect;
  Checks checks;
  std::string_view summary;  // one line, English
  std::array<FieldInfo, kMaxCommandFields> fieldStore{};
  int fieldCount = 0;
  // The fields it always reads, in read order, and each field number's place in that order (-1:
  // not always read): worked out once from the fields, for the decoding of every line.
  std::array<FieldInfo, kMaxCommandFields> alwaysStore{};
  int alwaysCount = 0;
  std::array<signed char, 2 + kMaxCommandFields> position{-1, -1, -1, -1, -1};

  // The fields in the order the command reads them, which decides the first error a faulty line
  // reports.
  std::span<const FieldInfo> fields() const { return {fieldStore.data(), std::size_t(fieldCount)}; }
  // Field number n, or nothing.
  const FieldInfo* field(int n) const;
  // The field of this kind it reads first, or nothing.
  const FieldInfo* fieldOf(FieldKind k) const;
};

inline constexpr int kCommandCount = 40;

// The table, in the interpreter's order of comparison.
std::span<const CommandInfo, kCommandCount> commandTable();

// The index of the row whose word equals `word` exactly (case-sensitive), or -1.
int findCommand(std::u32string_view word);
const CommandInfo* commandInfo(std::u32string_view word);

// The command as an author writes it, fields by number: "MES,text", "INC,flag,max[,mode]".
// Fields read only sometimes stand in brackets; a field the search reads is written plainly.
std::string commandSyntax(const CommandInfo& c);

// Words for tools and the reference.
std::string_view fieldKindName(FieldKind k);  // "line number", "flag index", ...
std::string_view flowName(Flow f);            // "falls through", "jumps", ...
std::string_view waitName(Wait w);            // "never", "for the player", ...
// Whether a command writes the flag its field n names.
bool writesFlagOfField(const CommandInfo& c, int n);

// The line under a command's syntax in the reference: its fields' kinds, its flow, its wait and
// its summary, as "*fields:* ... · *flow:* ... · *waits:* ... — summary".
std::string commandHeader(const CommandInfo& c);

}  // namespace vunt
