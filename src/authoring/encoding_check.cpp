#include "authoring/encoding_check.hpp"

#include <array>
#include <cstdio>

#include "text/text.hpp"
#include "script/script_store.hpp"

namespace vunt {

namespace {

const char* kHint = "save the script as UTF-8 or as Shift_JIS (code page 932)";

// Windows-1252's characters for the bytes 0x80..0x9F (0 where the code page has none).
constexpr std::array<char16_t, 32> kCp1252High{0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                               0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The Windows-1252 byte of a character, if it has one.
std::optional<unsigned char> cp1252Byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return (unsigned char)c;
  for (std::size_t i = 0; i < kCp1252High.size(); ++i)
    if (kCp1252High[i] && kCp1252High[i] == c) return (unsigned char)(0x80 + i);
  return std::nullopt;
}

// Whether the bytes are well-formed EUC-JP with some Japanese in them.
bool looksLikeEucJp(std::string_view bytes) {
  int japanese = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char b = (unsigned char)bytes[i];
    if (b < 0x80) continue;
    auto trail = [&](std::size_t k) { return k < bytes.size() && (unsigned char)bytes[k] >= 0xA1 && (unsigned char)bytes[k] <= 0xFE; };
    if (b == 0x8E && i + 1 < bytes.size() && (unsigned char)bytes[i + 1] >= 0xA1 && (unsigned char)bytes[i + 1] <= 0xDF) {
      ++i;
    } else if (b == 0x8F && trail(i + 1) && trail(i + 2)) {
      i += 2;
    } else if (b >= 0xA1 && b <= 0xFE && trail(i + 1)) {
      ++i;
      ++japanese;
    } else {
      return false;
    }
  }
  return japanese > 0;
}

std::string hexByte(unsigned char b) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", b);
  return buf;
}

}  // namespace

std::optional<EncodingFault> checkEncoding(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF" ||
      bytes.find('\0') != std::string_view::npos)
    return EncodingFault{true, 0, 0, "the script is saved as UTF-16 (it holds zero bytes): the game reads UTF-8 or code page 932", kHint};
  const bool bom = bytes.substr(0, 3) == "\xEF\xBB\xBF";
  if (bom || isValidUtf8(bytes)) {
    // UTF-8 that was once read as Windows-1252 and saved again: Japanese then shows as a lead
    // character (U+00E2 to U+00EF, the bytes that start three-byte UTF-8) followed by characters
    // standing for continuation bytes (0x80 to 0xBF), and no Japanese is left.
    const std::u32string text = fromUtf8(bom ? bytes.substr(3) : bytes);
    auto continuation = [](char32_t c) {
      if (c == U'\uFFFD' || (c >= 0x80 && c <= 0x9F)) return true;  // bytes Windows-1252 lacks
      std::optional<unsigned char> b = cp1252Byte(c);
      return b && *b >= 0x80 && *b <= 0xBF;
    };
    int leads = 0;
    std::size_t first = std::u32string::npos;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
      if ((text[i] >= 0x3000 && text[i] <= 0x9FFF) || (text[i] >= 0xFF00 && text[i] <= 0xFFEF)) return std::nullopt;
      if (text[i] >= 0xE2 && text[i] <= 0xEF && continuation(text[i + 1])) {
        ++leads;
        if (first == std::u32string::npos) first = i;
      }
    }
    if (leads >= 2) {
      int line = 1;
      for (std::size_t i = 0; i < first; ++i) line += text[i] == U'\n';
      return EncodingFault{false, line, 0,
                           "the script looks like UTF-8 that was read as Windows-1252 and saved again: it reads \"" +
                               toUtf8(std::u32string_view(text).substr(first, 6)) + "\" where Japanese was meant",
                           "save the script again from a copy that shows its Japanese, as UTF-8"};
    }
    return std::nullopt;
  }
  // Code page 932: every byte must decode.
  const std::u32string text = fromCp932(bytes);
  std::size_t bad = std::u32string::npos;
  if (text.find(U'\uFFFD') != std::u32string::npos) {
    // Which byte: walk the characters (a lead byte 0x81..0x9F or 0xE0..0xFC takes the next byte
    // with it) and decode each alone.
    for (std::size_t i = 0; i < bytes.size();) {
      const unsigned char b = (unsigned char)bytes[i];
      const std::size_t width = ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) && i + 1 < bytes.size() ? 2 : 1;
      if (fromCp932(bytes.substr(i, width)).find(U'\uFFFD') != std::u32string::npos) {
        bad = i;
        break;
      }
      i += width;
    }
    if (bad == std::u32string::npos) bad = 0;
  }
  const bool euc = looksLikeEucJp(bytes);
  if (bad != std::u32string::npos) {
    // Counted as the engine cuts lines, on the text before the byte.
    const std::u32string before = fromCp932(bytes.substr(0, bad));
    const std::vector<std::u32string> lines = splitScriptLines(before);
    const bool ended = !before.empty() && (before.back() == U'\r' || before.back() == U'\n');
    const int line = int(lines.size()) + (ended || lines.empty() ? 1 : 0);
    const int column = ended || lines.empty() ? 1 : int(lines.back().size()) + 1;
    return EncodingFault{false, line, column,
                         euc ? "the script looks like EUC-JP: the game reads UTF-8 or code page 932, and byte " +
                                   hexByte((unsigned char)bytes[bad]) + " here is neither"
                             : "byte " + hexByte((unsigned char)bytes[bad]) +
                                   " here is neither UTF-8 nor code page 932 (a third encoding, such as Latin-1?)",
                         kHint};
  }
  // Valid code page 932 that reads as runs of half-width katakana is EUC-JP in disguise.
  int kana = 0, wide = 0;
  for (char32_t c : text) {
    if (c >= 0xFF61 && c <= 0xFF9F) ++kana;
    else if (c >= 0x80) ++wide;
  }
  if (euc && kana >= 4 && kana > wide)
    return EncodingFault{false, 0, 0, "the script looks like EUC-JP read as code page 932: its Japanese shows as half-width katakana",
                         kHint};
  return std::nullopt;
}

}  // namespace vunt
