#include "script/line_code.hpp"

#include "script/commands.hpp"
#include "script/handlers.hpp"
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
  code.handler = handlerAt(code.row);
  code.waits = row.wait == Wait::Player || row.wait == Wait::Message;
  static_assert(sizeof code.position == sizeof row.position);
  std::copy(row.position.begin(), row.position.end(), code.position.begin());
  for (int at = 0; at < row.alwaysCount; ++at) {
    const FieldInfo& f = row.alwaysStore[std::size_t(at)];
    if (fieldKindInfo(f.kind).number && code.has(f.number) && code.numbers[std::size_t(f.number)].kind == NumberField::FlagRef)
      code.fieldsFromFlags = true;
  }
  if (!code.fieldsFromFlags) decodeFields(row, code, FlagTable{}, code.fixed);
  code.plain = !code.waits && !code.fieldsFromFlags;
  const FieldInfo* condition = row.fieldOf(FieldKind::Condition);
  if (!condition || !code.has(condition->number)) return;
  ConditionReader reader(code.texts[std::size_t(condition->number)]);
  code.conditionAt = std::uint32_t(pool_.size());
  for (ConditionComparison c; reader.next(c);) {
    pool_.push_back({c.connective, CompiledComparison::orders(c.op), std::int8_t(c.a.flag), std::int8_t(c.b.flag), std::int16_t(c.a.value),
                     std::int16_t(c.b.value)});
  }
  code.conditionCount = std::uint32_t(pool_.size()) - code.conditionAt;
  code.conditionFault = reader.fault();
}

std::u32string_view LineCodes::faultText(ConditionFault fault) {
  return fault == ConditionFault::FlagIndex ? U"フラグ範囲外" : U"比較式";
}

}  // namespace vunt
