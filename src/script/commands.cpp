#include "script/commands.hpp"

#include <initializer_list>

#include "script/command_rows.hpp"

namespace vunt {

namespace {

constexpr CommandInfo row(std::u32string_view word, std::string_view ascii, Flow flow, Wait wait, Block block,
                          Effect effect, Checks checks, std::string_view summary,
                          std::initializer_list<FieldInfo> fields) {
  CommandInfo c{word, ascii, flow, wait, block, effect, checks, summary};
  for (const FieldInfo& f : fields) {
    c.fieldStore[std::size_t(c.fieldCount++)] = f;
    if (f.use != FieldUse::Always) continue;
    c.position[std::size_t(f.number)] = static_cast<signed char>(c.alwaysCount);
    c.alwaysStore[std::size_t(c.alwaysCount++)] = f;
  }
  return c;
}

using enum FieldKind;
using enum FieldUse;

#define VUNT_COMMAND(word, handler, flow, wait, block, effect, checks, summary, ...) \
  row(U"" #word, #word, Flow::flow, Wait::wait, Block::block, Effect::effect, Checks::checks, summary, {__VA_ARGS__}),
constexpr std::array<CommandInfo, kCommandCount> kTable{{VUNT_COMMAND_ROWS}};
#undef VUNT_COMMAND

}  // namespace

const FieldInfo* CommandInfo::field(int n) const {
  for (const FieldInfo& f : fields())
    if (f.number == n) return &f;
  return nullptr;
}

const FieldInfo* CommandInfo::fieldOf(FieldKind k) const {
  for (const FieldInfo& f : fields())
    if (f.kind == k) return &f;
  return nullptr;
}

std::span<const CommandInfo, kCommandCount> commandTable() { return kTable; }


const CommandInfo* tableEndOf(const CommandInfo& c) {
  const Block end = c.block == Block::PrintTable ? Block::PrintTableEnd
                    : c.block == Block::JumpTable ? Block::JumpTableEnd
                                                  : Block::None;
  if (end == Block::None) return nullptr;
  for (const CommandInfo& r : kTable)
    if (r.block == end) return &r;
  return nullptr;
}

bool writesFlagOfField(const CommandInfo& c, int n) {
  switch (c.effect) {
    case Effect::SetFlag:
    case Effect::CountUp:
    case Effect::CountDown: return n == 2;
    case Effect::ClearFlags: return n == 2 || n == 3;
    default: return false;
  }
}

std::string commandHeader(const CommandInfo& c) {
  std::string fields;
  for (int n = 2; n <= 1 + kMaxCommandFields; ++n)
    if (const FieldInfo* f = c.field(n)) fields += (fields.empty() ? "" : ", ") + std::string(f->name) + ": " +
                                                   std::string(fieldKindName(f->kind));
  return "*fields:* " + (fields.empty() ? std::string("none") : fields) + " · *flow:* " + std::string(flowName(c.flow)) +
         " · *waits:* " + std::string(waitName(c.wait)) + " — " + std::string(c.summary);
}

int findCommand(std::u32string_view word) {
  for (int i = 0; i < kCommandCount; ++i)
    if (kTable[std::size_t(i)].word == word) return i;
  return -1;
}

const CommandInfo* commandInfo(std::u32string_view word) {
  const int i = findCommand(word);
  return i < 0 ? nullptr : &kTable[std::size_t(i)];
}

std::string commandSyntax(const CommandInfo& c) {
  std::string out(c.asciiWord);
  int open = 0;
  for (int n = 2; n <= 1 + kMaxCommandFields; ++n) {
    const FieldInfo* f = c.field(n);
    if (!f) break;
    if (f->use == FieldUse::Sometimes) {
      out += "[";
      ++open;
    }
    out += ",";
    out += f->name;
  }
  out.append(std::size_t(open), ']');
  return out;
}

std::string_view fieldKindName(FieldKind k) {
  switch (k) {
    case Number: return "number";
    case FlagIndex: return "flag index";
    case Line: return "line number";
    case MenuNumber: return "menu number";
    case EntryIndex: return "entry index";
    case Slot: return "item slot";
    case LabelIndex: return "label index";
    case Stage: return "stage number";
    case SoundFlags: return "play flags";
    case Text: return "text";
    case Condition: return "condition";
    case Message: return "message text";
    case MenuText: return "menu text";
    case EntryText: return "entry text";
    case Picture: return "picture name";
    case Sound: return "sound name";
    case Mode: return "L or S";
  }
  return "?";
}

std::string_view flowName(Flow f) {
  switch (f) {
    case Flow::Next: return "falls through";
    case Flow::Mark: return "does nothing, falls through";
    case Flow::Jump: return "jumps";
    case Flow::Branch: return "falls through or jumps";
    case Flow::Call: return "calls";
    case Flow::Return: return "returns";
    case Flow::PrintPick: return "prints a picked line, then jumps";
    case Flow::JumpPick: return "jumps through a picked line";
    case Flow::Menu: return "waits for a choice, then jumps";
    case Flow::MenuEnd: return "jumps to the menu's end line";
    case Flow::Puzzle: return "pauses for the puzzle, then falls through";
    case Flow::End: return "ends";
  }
  return "?";
}

std::string_view waitName(Wait w) {
  switch (w) {
    case Wait::No: return "never";
    case Wait::Player: return "for the player";
    case Wait::Message: return "for a click where the message asks";
    case Wait::Sound: return "until the sound ends, with flags 0";
  }
  return "?";
}

}  // namespace vunt
