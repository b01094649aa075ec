#pragma once
// Conditions of IF and EVA, read once into their comparisons. The engine evaluates them on flag
// values, the linter on the ranges a flag may hold; both read the text through this one reader.
//
// The language is read once from left to right, with no precedence: "F" and two characters is a
// flag operand, a digit and the character after it a number operand (a single digit only as the
// last character), one of = > < ^ } { the operator for the next comparison (the last one before
// the second operand counts), "&" and "#" make later comparisons combine with the result by and /
// or. The result starts false, so a connective before the first comparison combines with false.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "script/state.hpp"

namespace vunt {

struct ConditionOperand {
  int flag = -1;  // the flag's index (0..30), or -1 for a number
  int value = 0;  // the number; unused for a flag
  bool isFlag() const { return flag >= 0; }
};

struct ConditionComparison {
  enum Connective : std::uint8_t { None, And, Or } connective = None;  // how it joins the result so far
  char32_t op = 0;                                                      // = > < ^ } {
  ConditionOperand a, b;
  // The characters it was read from: from the end of the previous comparison to the end of its
  // second operand, so every operator written for it lies within.
  std::size_t from = 0, to = 0;
  int operators = 0;  // operator characters written for it; only the last counts
};

enum class ConditionFault : std::uint8_t {
  None,
  Character,        // a character outside the language
  MissingOperator,  // a second operand with no operator before it
  FlagOperand,      // "F" not followed by two digits
  NumberOperand,    // a digit not followed by another (other than at the end)
  FlagIndex,        // a flag operand beyond F30
};

// Reads a condition one comparison at a time, without allocating: TCHK runs on every IF.
class ConditionReader {
 public:
  explicit ConditionReader(std::u32string_view text) : text_(text) {}
  // The next comparison; false at the end of the text or at a fault, which then stays.
  bool next(ConditionComparison& out);
  ConditionFault fault() const { return fault_; }
  std::size_t faultAt() const { return faultAt_; }  // where the faulty item starts
  // At the end: an operand or operator after the last comparison, which is ignored.
  bool incomplete() const { return count_ > 0 || pending_ != 0; }

 private:
  bool fail(ConditionFault f, std::size_t at) {
    fault_ = f;
    faultAt_ = at;
    return false;
  }

  std::u32string_view text_;
  std::size_t pos_ = 0;
  ConditionFault fault_ = ConditionFault::None;
  std::size_t faultAt_ = 0;
  ConditionComparison::Connective connective_ = ConditionComparison::None;  // stays until the next one
  char32_t pending_ = 0;
  int operators_ = 0;
  ConditionOperand operands_[2];
  int count_ = 0;
};

namespace condition_detail {

inline bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

inline bool isOperator(char32_t c) {
  return c == U'=' || c == U'>' || c == U'<' || c == U'^' || c == U'}' || c == U'{';
}

// The one or two characters of an operand (fewer at the end of the text) read as a decimal number;
// nothing when they are not all digits or there are none.
inline std::optional<int> operandDigits(std::u32string_view text, std::size_t at) {
  std::u32string_view digits = text.substr(std::min(at, text.size()), 2);
  if (digits.empty()) return std::nullopt;
  int v = 0;
  for (char32_t c : digits) {
    if (!isDigit(c)) return std::nullopt;
    v = v * 10 + int(c - U'0');
  }
  return v;
}

}  // namespace condition_detail

// In the header, so that TCHK's evaluation keeps the reader in registers.
[[gnu::always_inline]] inline bool ConditionReader::next(ConditionComparison& out) {
  if (fault_ != ConditionFault::None) return false;
  const std::size_t from = std::min(pos_, text_.size());
  while (pos_ < text_.size()) {
    const std::size_t at = pos_;
    const char32_t c = text_[at];
    ConditionOperand operand;
    if (c == U'F') {
      std::optional<int> index = condition_detail::operandDigits(text_, at + 1);
      if (!index) return fail(ConditionFault::FlagOperand, at);
      if (*index >= kFlagCount) return fail(ConditionFault::FlagIndex, at);
      operand.flag = *index;
      pos_ += 3;
    } else if (condition_detail::isDigit(c)) {
      std::optional<int> v = condition_detail::operandDigits(text_, at);
      if (!v) return fail(ConditionFault::NumberOperand, at);
      operand.value = *v;
      pos_ += 2;
    } else if (condition_detail::isOperator(c)) {
      pending_ = c;
      ++operators_;
      ++pos_;
      continue;
    } else if (c == U'&' || c == U'#') {
      connective_ = c == U'&' ? ConditionComparison::And : ConditionComparison::Or;
      ++pos_;
      continue;
    } else {
      return fail(ConditionFault::Character, at);
    }
    operands_[count_++] = operand;
    if (count_ < 2) continue;
    if (!pending_) return fail(ConditionFault::MissingOperator, at);
    out = {connective_, pending_, operands_[0], operands_[1], from, std::min(pos_, text_.size()), operators_};
    pending_ = 0;
    operators_ = 0;
    count_ = 0;
    return true;
  }
  return false;
}

// Whether a comparison holds: = > < ^ (differs) } (at least) { (at most).
inline bool comparisonHolds(char32_t op, int a, int b) {
  switch (op) {
    case U'=': return a == b;
    case U'>': return a > b;
    case U'<': return a < b;
    case U'^': return a != b;
    case U'}': return a >= b;
    default: return a <= b;  // '{'
  }
}

// A whole condition: its comparisons in reading order, up to the fault if there is one.
struct Condition {
  std::vector<ConditionComparison> comparisons;
  ConditionFault fault = ConditionFault::None;
  std::size_t faultAt = 0;
  bool incomplete = false;  // see ConditionReader::incomplete; false with a fault
};

Condition parseCondition(std::u32string_view text);

}  // namespace vunt
