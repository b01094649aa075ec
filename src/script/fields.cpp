#include "script/fields.hpp"

#include "script/machine.hpp"

namespace vunt {

std::optional<std::u32string_view> cutField(std::u32string_view line, int n) {
  if (n <= 0) return std::u32string_view{};
  std::size_t start = 0;
  for (int k = 1;; ++k) {
    std::size_t comma = line.find(U',', start);
    if (comma == std::u32string_view::npos) {
      // The text after the last comma is a field of its own.
      if (k == n) return line.substr(start);
      return std::nullopt;
    }
    if (k == n) return line.substr(start, comma - start);
    start = comma + 1;
  }
}

std::optional<long> parseDecimal(std::u32string_view t) {
  std::size_t i = 0;
  while (i < t.size() && t[i] == U' ') ++i;
  bool negative = false;
  if (i < t.size() && (t[i] == U'+' || t[i] == U'-')) negative = t[i++] == U'-';
  std::size_t digits = 0;
  long v = 0;
  while (i < t.size() && t[i] >= U'0' && t[i] <= U'9') {
    if (v < 1000000) v = v * 10 + long(t[i] - U'0');  // stays beyond 16 bits without overflowing
    ++i;
    ++digits;
  }
  while (i < t.size() && t[i] == U' ') ++i;
  if (digits == 0 || i != t.size()) return std::nullopt;
  return negative ? -v : v;
}

NumberField parseNumberField(std::u32string_view field) {
  if (!field.empty() && field[0] == U'F') {
    std::optional<long> index = parseDecimal(field.substr(1, 2));
    if (!index) return {NumberField::NotANumber};
    if (*index < 0 || *index >= kFlagCount) return {NumberField::BadFlag, int(*index)};
    return {NumberField::FlagRef, int(*index)};
  }
  std::optional<long> v = parseDecimal(field);
  if (!v) return {NumberField::NotANumber};
  if (*v < -32768 || *v > 32767) return {NumberField::OutOfRange};
  return {NumberField::Literal, int(*v)};
}

namespace {

// Field n of the current line: from the line decoded once when it is one of its first fields.
std::optional<std::u32string_view> fieldOf(Machine& m, i16 n) {
  if (n >= LineCode::kFields) return cutField(m.s.store.ScriptLines[std::size_t(m.s.reg.CurLine)], n);
  if (n <= 0) return std::u32string_view{};
  const LineCode& code = m.lineCode(m.s.reg.CurLine);
  if (!code.has(n)) return std::nullopt;
  return code.texts[std::size_t(n)];
}

}  // namespace

std::u32string Machine::CUTA(i16 n) {
  std::optional<std::u32string_view> f = fieldOf(*this, n);
  if (!f) EEE(U"引数無し");
  return std::u32string(*f);
}

i16 Machine::cutNumber(i16 n) {
  std::optional<std::u32string_view> f = fieldOf(*this, n);
  if (!f) EEE(U"引数無し");
  return valueOf(parseNumberField(*f));
}

void Machine::numberFault(const NumberField& v) {
  switch (v.kind) {
    case NumberField::OutOfRange: EEE(U"数値範囲外");
    case NumberField::BadFlag: EEE(U"フラグ範囲外");
    default: EEE(U"数値不正");
  }
}

}  // namespace vunt
