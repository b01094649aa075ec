#include "script/save_format.hpp"

namespace vunt {

std::string saveFileText(const SavedFlags& flags) {
  std::string out;
  out.reserve(kSavedFlags * 8);
  for (std::int16_t v : flags) {
    out += v < 0 ? "-" : " ";
    out += std::to_string(v < 0 ? -int(v) : int(v));
    out += "\r\n";
  }
  return out;
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

SaveFileRead readSaveFile(std::string_view text) {
  SaveFileRead r;
  std::size_t i = 0;
  for (int n = 0; n < kSavedFlags; ++n) {
    auto fail = [&](const char* why) {
      r.bad = n;
      r.reason = why;
      r.flags = {};
      return r;
    };
    while (i < text.size() && (isBlank(text[i]) || isLineEnd(text[i]))) ++i;
    if (i >= text.size()) return fail("ファイルが途中で終わっています");
    std::size_t start = i;
    while (i < text.size() && !isBlank(text[i]) && !isLineEnd(text[i]) && text[i] != ',') ++i;
    std::string_view word = text.substr(start, i - start);
    // One separator after the number: blanks, then at most one comma.
    while (i < text.size() && isBlank(text[i])) ++i;
    if (i < text.size() && text[i] == ',') ++i;

    std::size_t k = 0;
    bool negative = false;
    if (k < word.size() && (word[k] == '-' || word[k] == '+')) negative = word[k++] == '-';
    if (k == word.size()) return fail("数値ではありません");
    long v = 0;
    for (; k < word.size(); ++k) {
      if (word[k] < '0' || word[k] > '9') return fail("数値ではありません");
      if (v <= 32768) v = v * 10 + (word[k] - '0');
    }
    if (negative) v = -v;
    if (v < -32768 || v > 32767) return fail("16 ビットの範囲を超えています");
    r.flags[std::size_t(n)] = std::int16_t(v);
  }
  r.ok = true;
  return r;
}

}  // namespace vunt
