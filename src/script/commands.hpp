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

inline constexpr int kMaxCommandFields = 3;

struct CommandInfo {
  std::u32string_view word;
  std::string_view asciiWord;  // the same word as ASCII, for tools that print it
  Flow flow;
  Wait wait;
  std::string_view summary;  // one line, English
  std::array<FieldInfo, kMaxCommandFields> fieldStore{};
  int fieldCount = 0;

  // The fields in the order the command reads them, which decides the first error a faulty line
  // reports.
  std::span<const FieldInfo> fields() const { return {fieldStore.data(), std::size_t(fieldCount)}; }
  // Field number n, or nothing.
  const FieldInfo* field(int n) const;
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

}  // namespace vunt
