#include "text/text.hpp"

namespace vunt {

std::string toUtf8(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t c : s) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | (c >> 18));
      out += char(0x80 | ((c >> 12) & 0x3F));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Decodes one UTF-8 sequence at i; returns its length, or 0 when it is malformed.
static int utf8Sequence(std::string_view s, std::size_t i, char32_t& out) {
  auto b = [&](std::size_t k) { return (unsigned char)s[k]; };
  unsigned char c = b(i);
  int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (len == 0 || i + len > s.size()) return 0;
  char32_t v = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
  for (int k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    v = (v << 6) | (b(i + k) & 0x3F);
  }
  static const char32_t minimum[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (v < minimum[len] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
  out = v;
  return len;
}

std::u32string fromUtf8(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    char32_t c;
    int len = utf8Sequence(s, i, c);
    if (len == 0) { out += U'\uFFFD'; ++i; } else { out += c; i += len; }
  }
  return out;
}

bool isValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    char32_t c;
    int len = utf8Sequence(s, i, c);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::u32string decodeScriptText(std::string_view bytes) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return fromUtf8(bytes.substr(3));
  if (isValidUtf8(bytes)) return fromUtf8(bytes);
  return fromCp932(bytes);
}

std::u32string numberText(int v) {
  std::u32string digits = decimalText(v);
  return v >= 0 ? U" " + digits : digits;
}

std::u32string decimalText(int v) {
  std::string s = std::to_string(v);
  return std::u32string(s.begin(), s.end());
}

}  // namespace vunt
