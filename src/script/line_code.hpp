#pragma once
// Script lines decoded once. The store does not change once loaded, so the first time a line runs
// (or its fields are read) its command row is found, its first fields are cut and their numbers
// parsed, and an IF or EVA condition is compiled; later runs start from that. What a line means
// still depends on the flags at the moment it runs: a flag operand or a field written as a flag
// is kept as the flag's index and read when used, and a fault found while decoding is only kept,
// to be reported when and as reading the line field by field would report it (a faulty line that
// never runs reports nothing).
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "script/condition.hpp"
#include "script/fields.hpp"
#include "script/state.hpp"

namespace vunt {

// One comparison of a compiled condition: an operand is a flag index (>= 0) or a number.
struct CompiledComparison {
  ConditionComparison::Connective connective;
  // The orders of a against b for which the comparison holds: bit 0 less, bit 1 equal, bit 2
  // greater. Testing a bit costs no branch, where the operator's six cases would.
  std::uint8_t holdsWhen;
  std::int8_t flagA, flagB;  // -1: the operand is the number
  std::int16_t a, b;

  static std::uint8_t orders(char32_t op) {
    return std::uint8_t((comparisonHolds(op, 0, 1) ? 1 : 0) | (comparisonHolds(op, 0, 0) ? 2 : 0) |
                        (comparisonHolds(op, 1, 0) ? 4 : 0));
  }
  bool holds(int x, int y) const { return (holdsWhen >> ((x > y) - (x < y) + 1)) & 1; }
};

// The numbers of the fields a command always reads, and the first fault among them.
struct DecodedFields {
  static constexpr int kSlots = 5;  // field numbers 0..4
  // Only the slots of the fields decoded are set (a slot is read only after its field decoded).
  std::array<i16, kSlots> numbers{};
  // The fault: in the read order, the position of the field that meets it (the field count: after
  // the last field is read), and its error text. -1: no fault.
  int faultAt = -1;
  std::u32string_view fault;
  int count = 0;  // the fields the command always reads
};

class Machine;

struct LineCode {
  static constexpr int kFields = 5;  // fields 1..4 are kept, at their field number
  // What the tick reads before it calls the handler comes first, on the line's first cache line.
  bool decoded = false;
  // A line the tick runs without more ado: a command that neither waits nor reads a field that
  // names a flag. Any other line (no command at all included) takes the tick's longer way.
  bool plain = false;
  std::int8_t row = -1;  // the command's row, or -1 for a word that is no command
  void (*handler)(Machine&) = nullptr;  // the row's handler
  std::int8_t fields = 0;  // how many of fields 1..4 the line has
  ConditionFault conditionFault = ConditionFault::None;
  std::uint32_t conditionAt = 0, conditionCount = 0;  // in LineCodes' pool of comparisons
  std::array<std::u32string_view, kFields> texts{};
  std::array<NumberField, kFields> numbers{};
  // What the tick needs of the command's row, kept here so that a run touches only this line.
  bool waits = false;  // waits for the player or in a message
  std::array<signed char, kFields> position{-1, -1, -1, -1, -1};  // see CommandInfo::position
  // The decoded fields when no field the command always reads names a flag: they are the same at
  // every run. Otherwise they are decoded at each run.
  bool fieldsFromFlags = false;
  DecodedFields fixed;

  // Field n (1..4) as text; nothing when the line has fewer fields.
  bool has(int n) const { return n >= 1 && n <= fields; }
};

class LineCodes {
 public:
  // The decoded line; texts view into the store, which must stay as it is until forget().
  const LineCode& at(const ScriptStore& store, int line) {
    if (!table_) [[unlikely]] table_ = std::make_unique<std::array<LineCode, kLastLine + 1>>();
    LineCode& code = (*table_)[std::size_t(line)];
    if (!code.decoded) [[unlikely]] decode(store.ScriptLines[std::size_t(line)], code);
    return code;
  }
  // Drops every decoded line: the store has been loaded again.
  void forget() { table_.reset(), pool_.clear(); }

  // The line's condition on these flags: -1 true, 0 false; a fault gives its error text instead
  // (in *fault) once the comparisons before it have been read, as the reader would meet it.
  // Inline: every IF and EVA comes through here.
  i16 evaluate(const LineCode& code, const FlagTable& flags, std::u32string_view* fault) const {
    // Every comparison before a fault only reads flags, so a faulty condition is its fault.
    if (code.conditionFault != ConditionFault::None) [[unlikely]] {
      *fault = faultText(code.conditionFault);
      return 0;
    }
    bool result = false;
    const CompiledComparison* c = pool_.data() + code.conditionAt;
    for (const CompiledComparison* end = c + code.conditionCount; c != end; ++c) {
      const int a = c->flagA >= 0 ? flags[std::size_t(c->flagA)] : c->a;
      const int b = c->flagB >= 0 ? flags[std::size_t(c->flagB)] : c->b;
      const bool holds = c->holds(a, b);
      switch (c->connective) {
        case ConditionComparison::None: result = holds; break;
        case ConditionComparison::And: result = result && holds; break;
        case ConditionComparison::Or: result = result || holds; break;
      }
    }
    return result ? -1 : 0;
  }

 private:
  void decode(std::u32string_view line, LineCode& code);
  static std::u32string_view faultText(ConditionFault fault);
  std::unique_ptr<std::array<LineCode, kLastLine + 1>> table_;
  std::vector<CompiledComparison> pool_;
};

}  // namespace vunt
