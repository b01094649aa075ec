#include "platform/terminal_text.hpp"

#include <cstdio>

namespace vunt {

namespace {

// Length of the valid UTF-8 sequence at s[i] and its code point; 0 when there is none.
std::size_t sequence(std::string_view s, std::size_t i, char32_t& c) {
  const unsigned char b = static_cast<unsigned char>(s[i]);
  std::size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  c = n == 1 ? b : n == 2 ? b & 0x1F : n == 3 ? b & 0x0F : b & 0x07;
  for (std::size_t k = 1; k < n; ++k) {
    const unsigned char t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) return 0;
    c = (c << 6) | (t & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are no characters.
  static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kLeast[n] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return 0;
  return n;
}

bool hidden(char32_t c) {
  return (c >= 0x80 && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::string terminalText(std::string_view utf8, bool keepLineFeeds) {
  std::string out;
  out.reserve(utf8.size());
  char buffer[16];
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t c = 0;
    const std::size_t n = sequence(utf8, i, c);
    if (n == 0 || (n == 1 && (c < 0x20 || c == 0x7F) && !(keepLineFeeds && c == '\n'))) {
      std::snprintf(buffer, sizeof buffer, "\\x%02X", unsigned(static_cast<unsigned char>(utf8[i])));
      out += buffer;
      ++i;
    } else if (hidden(c)) {
      std::snprintf(buffer, sizeof buffer, "\\u{%04X}", unsigned(c));
      out += buffer;
      i += n;
    } else {
      out.append(utf8.substr(i, n));
      i += n;
    }
  }
  return out;
}

}  // namespace vunt
