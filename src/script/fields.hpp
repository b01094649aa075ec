#pragma once
// The fields of a script line, as pure functions: fields are separated by the ASCII comma only,
// numbered from 1, and never trimmed.
#include <cstdint>
#include <optional>
#include <string_view>

namespace vunt {

// Field n of the line; nothing when the line has fewer fields. n of 0 or less gives empty text.
std::optional<std::u32string_view> cutField(std::u32string_view line, int n);

// A number field: a flag reference ("F" and a flag index) or a 16-bit decimal literal.
struct NumberField {
  enum Kind { Literal, FlagRef, NotANumber, OutOfRange, BadFlag } kind;
  int value = 0;  // the literal, or the flag index
};
NumberField parseNumberField(std::u32string_view field);

// A decimal literal: optional blanks, an optional sign, digits, optional blanks. Nothing when the
// text is not such a number; values beyond 16 bits are returned as they are, for the caller to check.
std::optional<long> parseDecimal(std::u32string_view text);

}  // namespace vunt
