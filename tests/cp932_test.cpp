// The built-in code page 932 table against the system's converter (glibc iconv "CP932"): every
// single byte and byte pair read, every character written, and the round trip between the two.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstring>
#include <optional>
#include <string>

#include "text/text.hpp"

using namespace vunt;

namespace {

// Windows reads these bytes as characters of their own; iconv refuses them.
std::optional<char32_t> windowsOnlyByte(unsigned char b) {
  switch (b) {
    case 0x80: return U'\u0080';
    case 0xA0: return U'\uF8F0';
    case 0xFD: return U'\uF8F1';
    case 0xFE: return U'\uF8F2';
    case 0xFF: return U'\uF8F3';
    default: return std::nullopt;
  }
}

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != (iconv_t)-1; }

  // All of in converted, or nothing when the converter refuses any of it.
  std::optional<std::string> operator()(std::string in) {
    char out[16];
    char* src = in.data();
    char* dst = out;
    std::size_t srcLeft = in.size(), dstLeft = sizeof out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == std::size_t(-1) || srcLeft != 0) return std::nullopt;
    if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == std::size_t(-1)) return std::nullopt;
    return std::string(out, dst);
  }

 private:
  iconv_t cd_;
};

std::string utf32(char32_t c) {
  std::string s(4, '\0');
  for (int k = 0; k < 4; ++k) s[std::size_t(k)] = char((c >> (8 * k)) & 0xFF);
  return s;
}

// The reading the engine has always had, on the system's converter: ASCII and Windows' own bytes
// as they are, then one byte, then two, where they give exactly one character; U+FFFD and on by
// one byte otherwise.
std::u32string referenceDecode(Iconv& toUnicode, std::string_view bytes) {
  std::u32string out;
  for (std::size_t i = 0; i < bytes.size();) {
    const unsigned char b = (unsigned char)bytes[i];
    if (b < 0x80) { out += char32_t(b); ++i; continue; }
    if (auto c = windowsOnlyByte(b)) { out += *c; ++i; continue; }
    std::size_t used = 0;
    for (std::size_t len = 1; len <= 2 && i + len <= bytes.size() && used == 0; ++len) {
      std::optional<std::string> u = toUnicode(std::string(bytes.substr(i, len)));
      if (u && u->size() == 4) {
        char32_t c = 0;
        for (int k = 3; k >= 0; --k) c = c << 8 | (unsigned char)(*u)[std::size_t(k)];
        out += c;
        used = len;
      }
    }
    if (used == 0) { out += U'\uFFFD'; used = 1; }
    i += used;
  }
  return out;
}

std::string hex(std::string_view bytes) {
  std::string s;
  char b[4];
  for (unsigned char c : bytes) { std::snprintf(b, sizeof b, "%02X ", c); s += b; }
  return s;
}

}  // namespace

TEST(Cp932Table, ReadsEverySingleByteAndBytePairAsTheSystemConverterDoes) {
  Iconv toUnicode("UTF-32LE", "CP932");
  if (!toUnicode.ok()) GTEST_SKIP() << "this system's iconv has no CP932";
  int differences = 0;
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, char(b));
    if (fromCp932(one) != referenceDecode(toUnicode, one) && ++differences <= 10) ADD_FAILURE() << "byte " << hex(one);
  }
  for (int pair = 0; pair < 65536; ++pair) {
    const std::string two{char(pair >> 8), char(pair & 0xFF)};
    if (fromCp932(two) != referenceDecode(toUnicode, two) && ++differences <= 10) ADD_FAILURE() << "bytes " << hex(two);
  }
  EXPECT_EQ(differences, 0);
}

TEST(Cp932Table, WritesEveryCharacterAsTheSystemConverterDoes) {
  Iconv fromUnicode("CP932", "UTF-32LE");
  if (!fromUnicode.ok()) GTEST_SKIP() << "this system's iconv has no CP932";
  int differences = 0, written = 0;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::optional<std::string> expected = fromUnicode(utf32(c));
    // Windows' own single bytes are written back as themselves, where iconv refuses them.
    for (int b = 0x80; b < 256; ++b)
      if (windowsOnlyByte((unsigned char)b) == c) expected = std::string(1, char(b));
    // glibc drops the tag characters U+E0000-U+E007F without a word; they have no form here.
    if (c >= 0xE0000 && c <= 0xE007F && expected == "") expected.reset();
    const Cp932Encoding ours = toCp932(std::u32string(1, c));
    const std::optional<std::string> got = ours.unmapped.empty() ? std::optional(ours.bytes) : std::nullopt;
    if (got) ++written;
    if (got != expected && ++differences <= 10)
      ADD_FAILURE() << "U+" << std::hex << unsigned(c) << ": " << (got ? hex(*got) : "none") << " where "
                    << (expected ? hex(*expected) : "none") << " is expected";
  }
  EXPECT_EQ(differences, 0);
  EXPECT_GT(written, 9000);  // the whole table, not a few characters
}

TEST(Cp932Table, EveryCharacterReadIsWrittenBackAsBytesThatReadAsIt) {
  for (int first = 0x80; first < 256; ++first)
    for (int second = -1; second < 256; ++second) {
      std::string bytes(1, char(first));
      if (second >= 0) bytes += char(second);
      const std::u32string read = fromCp932(bytes);
      const char32_t c = read[0];
      if (c == U'\uFFFD' || (second >= 0 && read.size() != 1)) continue;
      const Cp932Encoding written = toCp932(std::u32string(1, c));
      ASSERT_TRUE(written.unmapped.empty()) << hex(bytes);
      EXPECT_EQ(fromCp932(written.bytes), std::u32string(1, c)) << hex(bytes);
    }
  // Windows' own single bytes keep their place.
  EXPECT_EQ(toCp932(U"\u0080\uF8F0\uF8F1\uF8F2\uF8F3").bytes, "\x80\xA0\xFD\xFE\xFF");
}

TEST(Cp932Table, WritesWindowsChoiceAndListsCharactersWithoutAForm) {
  // ∵ is 81 E6, 87 9A and FA 5B; Ⅰ is 87 54 and FA 4A; ⅰ is EE EF and FA 40.
  EXPECT_EQ(toCp932(U"∵Ⅰⅰ").bytes, "\x81\xE6\x87\x54\xFA\x40");
  // The yen sign and the overline take the ASCII bytes that Japanese fonts draw them at.
  EXPECT_EQ(toCp932(U"\u00A5\u203E").bytes, "\x5C\x7E");
  const Cp932Encoding mixed = toCp932(U"aあ\U0001F600b€\U000E0001ｱ");
  EXPECT_EQ(mixed.bytes, "a\x82\xA0" "b\xB1");
  EXPECT_EQ(mixed.unmapped, (std::vector<std::size_t>{2, 4, 5}));
  EXPECT_TRUE(toCp932(U"").bytes.empty());
  // Reading: a first byte with no valid second byte is U+FFFD, and the second byte is read afresh.
  EXPECT_EQ(fromCp932("\x81" "1" "\x85\x40" "\xFC\xFC"), U"\uFFFD" "1\uFFFD@\uFFFD\uFFFD");
}
