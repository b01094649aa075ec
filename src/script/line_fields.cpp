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

void decodeFields(const CommandInfo& row, const LineCode& line, const FlagTable& flags, DecodedFields& d) {
  d.faultAt = -1;
  d.count = row.alwaysCount;
  for (int at = 0; at < row.alwaysCount; ++at) {
    const FieldInfo& f = row.alwaysStore[std::size_t(at)];
    if (!line.has(f.number)) {
      d.faultAt = at, d.fault = U"引数無し";
      return;
    }
    const std::size_t slot = std::size_t(f.number);
    const FieldKindInfo& kind = fieldKindInfo(f.kind);
    if (!kind.number) continue;
    const NumberField v = line.numbers[slot];
    if (v.kind == NumberField::Literal) {
      d.numbers[slot] = i16(v.value);
    } else if (v.kind == NumberField::FlagRef) {
      d.numbers[slot] = flags[std::size_t(v.value)];
    } else {
      d.faultAt = at, d.fault = numberFault(v.kind);
      return;
    }
    if (row.checks == Checks::WhenRead && kind.atRead && outOfBounds(kind, d.numbers[slot])) {
      d.faultAt = at, d.fault = kind.error;
      return;
    }
  }
  if (row.checks != Checks::AfterFields) return;
  for (int at = 0; at < row.alwaysCount; ++at) {
    const FieldInfo& f = row.alwaysStore[std::size_t(at)];
    const FieldKindInfo& kind = fieldKindInfo(f.kind);
    if (kind.number && kind.atRead && outOfBounds(kind, d.numbers[std::size_t(f.number)])) {
      d.faultAt = row.alwaysCount, d.fault = kind.error;
      return;
    }
  }
}

}  // namespace vunt
