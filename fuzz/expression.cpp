// TCHK's evaluator of comparison expressions, against a second evaluator written the other way
// round: a tokenizer hands tokens to a fold from the left.
//
// Input: the expression as UTF-8, then a NUL byte and the flags F0 to F30, two bytes each (low byte
// first); flags the input does not reach are 0.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.hpp"
#include "script/expression.hpp"
#include "text/text.hpp"

using namespace vunt;

namespace {

struct Token {
  enum Kind { Operand, Operator, And, Or } kind;
  int value = 0;    // an operand's value
  char32_t op = 0;  // an operator's character
};

bool digit(char32_t c) { return c >= U'0' && c <= U'9'; }

// Reads up to two characters at i as a decimal number; all must be digits, at least one.
std::optional<int> twoDigits(std::u32string_view s, std::size_t i) {
  if (i >= s.size()) return std::nullopt;
  std::u32string_view d = s.substr(i, 2);
  int v = 0;
  for (char32_t c : d) {
    if (!digit(c)) return std::nullopt;
    v = v * 10 + int(c - U'0');
  }
  return v;
}

// The token at i, and where the next one starts; nothing (with the error) for a bad token.
std::optional<Token> nextToken(std::u32string_view s, std::size_t& i, const std::array<std::int16_t, 31>& flags,
                               ExpressionResult::Error& error) {
  const char32_t c = s[i];
  if (c == U'F') {
    auto index = twoDigits(s, i + 1);
    i += 3;
    if (!index) error = ExpressionResult::Malformed;
    else if (*index > 30) error = ExpressionResult::BadFlag;
    else return Token{Token::Operand, flags[std::size_t(*index)]};
    return std::nullopt;
  }
  if (digit(c)) {
    auto v = twoDigits(s, i);
    i += 2;
    if (!v) {
      error = ExpressionResult::Malformed;
      return std::nullopt;
    }
    return Token{Token::Operand, *v};
  }
  ++i;
  if (std::u32string_view(U"=><^}{").find(c) != std::u32string_view::npos) return Token{Token::Operator, 0, c};
  if (c == U'&') return Token{Token::And};
  if (c == U'#') return Token{Token::Or};
  error = ExpressionResult::Malformed;
  return std::nullopt;
}

// Errors are found in reading order: the first bad token or missing operator ends the reading.
ExpressionResult reference(std::u32string_view s, const std::array<std::int16_t, 31>& flags) {
  bool result = false;
  int connective = 0;  // 0 none, 1 and, 2 or
  char32_t op = 0;
  std::vector<int> operands;
  for (std::size_t i = 0; i < s.size();) {
    ExpressionResult::Error error = ExpressionResult::None;
    const std::optional<Token> t = nextToken(s, i, flags, error);
    if (!t) return {error};
    switch (t->kind) {
      case Token::Operator: op = t->op; continue;
      case Token::And: connective = 1; continue;
      case Token::Or: connective = 2; continue;
      case Token::Operand: operands.push_back(t->value); break;
    }
    if (operands.size() < 2) continue;
    if (!op) return {ExpressionResult::Malformed};
    const int a = operands[0], b = operands[1];
    const bool c = op == U'=' ? a == b : op == U'>' ? a > b : op == U'<' ? a < b : op == U'^' ? a != b
                 : op == U'}' ? a >= b : a <= b;
    result = connective == 0 ? c : connective == 1 ? (result && c) : (result || c);
    op = 0;
    operands.clear();
  }
  return {ExpressionResult::None, std::int16_t(result ? -1 : 0)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = input.find('\0');
  const std::u32string text = fromUtf8(input.substr(0, nul));
  std::array<std::int16_t, 31> flags{};
  if (nul != std::string_view::npos) {
    const std::string_view bytes = input.substr(nul + 1);
    for (std::size_t i = 0; i < flags.size() && 2 * i + 1 < bytes.size(); ++i)
      flags[i] = std::int16_t(std::uint8_t(bytes[2 * i]) | std::uint8_t(bytes[2 * i + 1]) << 8);
  }

  const ExpressionResult got = evaluateExpression(text, flags);
  const ExpressionResult want = reference(text, flags);
  VUNT_FUZZ_CHECK(got.error == want.error, "the same verdict on malformed expressions");
  if (got.error == ExpressionResult::None) {
    VUNT_FUZZ_CHECK(got.value == -1 || got.value == 0, "true is -1, false is 0");
    VUNT_FUZZ_CHECK(got.value == want.value, "the same truth value");
  }
  return 0;
}
