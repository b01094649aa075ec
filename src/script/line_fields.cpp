#include "script/line_fields.hpp"

#include "script/fields.hpp"

namespace vunt {

namespace {

std::u32string_view numberFault(NumberField::Kind k) {
  switch (k) {
    case NumberField::NotANumber: return U"数値不正";
    case NumberField::OutOfRange: return U"数値範囲外";
    case NumberField::BadFlag: return U"フラグ範囲外";
    default: return U"";
  }
}

bool outOfBounds(const FieldKindInfo& k, int v) { return k.number && !k.error.empty() && (v < k.low || v > k.high); }

}  // namespace

int readPosition(const CommandInfo& row, int n) {
  int at = 0;
  for (const FieldInfo& f : row.fields()) {
    if (f.use != FieldUse::Always) continue;
    if (f.number == n) return at;
    ++at;
  }
  return -1;
}

DecodedFields decodeFields(const CommandInfo& row, std::u32string_view line, const FlagTable& flags) {
  DecodedFields d;
  for (const FieldInfo& f : row.fields()) d.count += f.use == FieldUse::Always;
  int at = 0;
  auto fail = [&d](int position, std::u32string_view text) {
    d.faultAt = position;
    d.fault = text;
    return d;
  };
  for (const FieldInfo& f : row.fields()) {
    if (f.use != FieldUse::Always) continue;
    std::optional<std::u32string_view> text = cutField(line, f.number);
    if (!text) return fail(at, U"引数無し");
    const std::size_t slot = std::size_t(f.number);
    d.texts[slot] = *text;
    const FieldKindInfo& kind = fieldKindInfo(f.kind);
    if (kind.number) {
      const NumberField v = parseNumberField(*text);
      if (v.kind == NumberField::Literal) d.numbers[slot] = i16(v.value);
      else if (v.kind == NumberField::FlagRef) d.numbers[slot] = flags[std::size_t(v.value)];
      else return fail(at, numberFault(v.kind));
      if (row.checks == Checks::WhenRead && kind.atRead && outOfBounds(kind, d.numbers[slot])) return fail(at, kind.error);
    }
    ++at;
  }
  if (row.checks == Checks::AfterFields)
    for (const FieldInfo& f : row.fields()) {
      const FieldKindInfo& kind = fieldKindInfo(f.kind);
      if (f.use == FieldUse::Always && kind.atRead && outOfBounds(kind, d.numbers[std::size_t(f.number)]))
        return fail(at, kind.error);
    }
  return d;
}

}  // namespace vunt
