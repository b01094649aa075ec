#include "script/line_code.hpp"

#include "script/commands.hpp"
#include "script/line_fields.hpp"

namespace vunt {

void LineCodes::decode(std::u32string_view line, LineCode& code) {
  code.decoded = true;
  // Fields 1..4, cut in one pass: field 1 always exists.
  std::size_t start = 0;
  for (int n = 1; n < LineCode::kFields; ++n) {
    const std::size_t comma = line.find(U',', start);
    code.texts[std::size_t(n)] = line.substr(start, comma == std::u32string_view::npos ? line.npos : comma - start);
    code.numbers[std::size_t(n)] = parseNumberField(code.texts[std::size_t(n)]);
    code.fields = std::int8_t(n);
    if (comma == std::u32string_view::npos) break;
    start = comma + 1;
  }
  code.row = std::int8_t(findCommand(code.texts[1]));
  if (code.row < 0) return;
  const CommandInfo& row = commandTable()[std::size_t(code.row)];
  code.waits = row.wait == Wait::Player || row.wait == Wait::Message;
  static_assert(sizeof code.position == sizeof row.position);
  std::copy(row.position.begin(), row.position.end(), code.position.begin());
  for (int at = 0; at < row.alwaysCount; ++at) {
    const FieldInfo& f = row.alwaysStore[std::size_t(at)];
    if (fieldKindInfo(f.kind).number && code.has(f.number) && code.numbers[std::size_t(f.number)].kind == NumberField::FlagRef)
      code.fieldsFromFlags = true;
  }
  if (!code.fieldsFromFlags) decodeFields(row, code, FlagTable{}, code.fixed);
  const FieldInfo* condition = row.fieldOf(FieldKind::Condition);
  if (!condition || !code.has(condition->number)) return;
  ConditionReader reader(code.texts[std::size_t(condition->number)]);
  code.conditionAt = std::uint32_t(pool_.size());
  for (ConditionComparison c; reader.next(c);) {
    pool_.push_back({c.connective, c.op, std::int8_t(c.a.flag), std::int8_t(c.b.flag), std::int16_t(c.a.value),
                     std::int16_t(c.b.value)});
  }
  code.conditionCount = std::uint32_t(pool_.size()) - code.conditionAt;
  code.conditionFault = reader.fault();
}

i16 LineCodes::evaluate(const LineCode& code, const FlagTable& flags, std::u32string_view* fault) const {
  // Every comparison before a fault only reads flags, so a faulty condition is its fault.
  switch (code.conditionFault) {
    case ConditionFault::None: break;
    case ConditionFault::FlagIndex: *fault = U"フラグ範囲外"; return 0;
    default: *fault = U"比較式"; return 0;
  }
  bool result = false;
  const CompiledComparison* c = pool_.data() + code.conditionAt;
  for (const CompiledComparison* end = c + code.conditionCount; c != end; ++c) {
    const int a = c->flagA >= 0 ? flags[std::size_t(c->flagA)] : c->a;
    const int b = c->flagB >= 0 ? flags[std::size_t(c->flagB)] : c->b;
    const bool holds = comparisonHolds(c->op, a, b);
    switch (c->connective) {
      case ConditionComparison::None: result = holds; break;
      case ConditionComparison::And: result = result && holds; break;
      case ConditionComparison::Or: result = result || holds; break;
    }
  }
  return result ? -1 : 0;
}

}  // namespace vunt
