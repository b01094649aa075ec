// Writes src/text/cp932_table.cpp, the engine's built-in code page 932 table, from the system's
// converter (glibc iconv "CP932"), so that the engine itself needs no iconv. Run once by a
// developer when the table is to be made again, from the repository root:
//
//   g++ -std=c++20 -O2 -Wall -Wextra -o /tmp/make_cp932_table tools/text/make_cp932_table.cpp
//   /tmp/make_cp932_table >src/text/cp932_table.cpp
//
// Decoding: each byte 0x80-0xFF alone, then every byte pair whose first byte is no character by
// itself, exactly as the engine reads a script (a pair counts when it gives one character). The
// bytes 0x80, 0xA0 and 0xFD-0xFF, which Windows reads as characters of their own and iconv
// refuses, take Windows' values. Encoding: every character U+0080-U+FFFF is written by iconv; the
// table lists the ones whose bytes are not the only pair that reads back as them (the NEC and IBM
// duplicates, where iconv picks the pair Windows writes) and the ones no bytes read back as
// (U+00A5 is written 0x5C, ...). Characters beyond U+FFFF have no form; glibc drops the tag
// characters U+E0000-U+E007F without a word, which the table does not copy. The program stops
// with a message when the converter's answers do not fit the table's shape.
#include <gnu/libc-version.h>
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kFirstTrail = 0x40, kLastTrail = 0xFC;  // as src/text/cp932_table.hpp has them

[[noreturn]] void fail(const std::string& why) {
  std::fprintf(stderr, "make_cp932_table: %s\n", why.c_str());
  std::exit(1);
}

iconv_t open(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == (iconv_t)-1) fail(std::string("iconv cannot convert from ") + from + " to " + to);
  return cd;
}

// The one character that `len` bytes decode to, if they decode to exactly one.
std::optional<char32_t> decode(iconv_t cd, const unsigned char* bytes, std::size_t len) {
  char src[2], dst[8];
  std::memcpy(src, bytes, len);
  char* sp = src;
  char* dp = dst;
  std::size_t sl = len, dl = sizeof dst;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &sp, &sl, &dp, &dl) == std::size_t(-1) || sl != 0 || dp - dst != 4) return std::nullopt;
  std::uint32_t c;
  std::memcpy(&c, dst, 4);  // UTF-32LE on a little-endian machine
  return char32_t(c);
}

// The bytes iconv writes for c (none for a character it drops).
std::optional<std::string> encodeBytes(iconv_t cd, char32_t c) {
  std::uint32_t u = c;
  char src[4], dst[8];
  std::memcpy(src, &u, 4);
  char* sp = src;
  char* dp = dst;
  std::size_t sl = 4, dl = sizeof dst;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &sp, &sl, &dp, &dl) == std::size_t(-1) || sl != 0) return std::nullopt;
  if (iconv(cd, nullptr, nullptr, &dp, &dl) == std::size_t(-1)) return std::nullopt;
  return std::string(dst, dp);
}

// The same as one number (a pair is first byte * 256 + second byte).
std::optional<unsigned> encode(iconv_t cd, char32_t c) {
  const std::optional<std::string> s = encodeBytes(cd, c);
  if (!s) return std::nullopt;
  const auto b = [&](std::size_t k) { return unsigned((unsigned char)(*s)[k]); };
  if (s->size() == 1) return b(0);
  if (s->size() == 2) return b(0) << 8 | b(1);
  fail("iconv writes " + std::to_string(s->size()) + " bytes for a character");
}

std::optional<char32_t> windowsOnlyByte(int b) {
  switch (b) {
    case 0x80: return 0x0080;
    case 0xA0: return 0xF8F0;
    case 0xFD: return 0xF8F1;
    case 0xFE: return 0xF8F2;
    case 0xFF: return 0xF8F3;
    default: return std::nullopt;
  }
}

void checkFits(char32_t c, const char* what) {
  if (c == 0 || c > 0xFFFF) fail(std::string(what) + " decodes to a character outside U+0001-U+FFFF");
}

}  // namespace

int main() {
  if (std::uint16_t probe = 1; *reinterpret_cast<unsigned char*>(&probe) != 1) fail("run this on a little-endian machine");
  iconv_t toUnicode = open("UTF-32LE", "CP932");
  iconv_t toCp932 = open("CP932", "UTF-32LE");

  std::vector<char32_t> single(128, 0);
  std::vector<std::vector<char32_t>> rows;  // one per lead byte, trails kFirstTrail-kLastTrail
  std::vector<int> leadRow(128, -1);
  std::map<char32_t, std::vector<unsigned>> sources;  // each character's byte sequences, in byte order
  for (int b = 0x80; b <= 0xFF; ++b) {
    if (auto c = windowsOnlyByte(b)) {
      single[b - 0x80] = *c;
      sources[*c].push_back(unsigned(b));
      continue;
    }
    const unsigned char one = (unsigned char)b;
    if (auto c = decode(toUnicode, &one, 1)) {
      checkFits(*c, "a single byte");
      single[b - 0x80] = *c;
      sources[*c].push_back(unsigned(b));
      continue;
    }
    std::vector<char32_t> row(kLastTrail - kFirstTrail + 1, 0);
    bool any = false;
    for (int t = 0; t <= 0xFF; ++t) {
      const unsigned char pair[2] = {(unsigned char)b, (unsigned char)t};
      auto c = decode(toUnicode, pair, 2);
      if (!c) continue;
      if (t < kFirstTrail || t > kLastTrail) fail("a second byte outside 0x40-0xFC decodes");
      checkFits(*c, "a byte pair");
      row[t - kFirstTrail] = *c;
      sources[*c].push_back(unsigned(b << 8 | t));
      any = true;
    }
    if (any) {
      leadRow[b - 0x80] = int(rows.size());
      rows.push_back(std::move(row));
    }
  }
  for (unsigned char b = 0; b < 0x80; ++b)
    if (decode(toUnicode, &b, 1) != char32_t(b)) fail("the converter does not read ASCII as ASCII");

  // Where the encoder must be told: several sources, or a character that only encodes.
  std::vector<std::pair<char32_t, unsigned>> choices;
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    auto it = sources.find(c);
    const std::optional<unsigned> bytes = encode(toCp932, c);
    if (it != sources.end() && it->second.size() == 1 && it->second[0] < 0x100 && windowsOnlyByte(int(it->second[0]))) {
      if (bytes && *bytes != it->second[0]) fail("the converter writes one of Windows' own single bytes elsewhere");
      continue;  // the decoding table takes them back to their own byte
    }
    if (c < 0x80) {
      if (bytes != unsigned(c)) fail("the converter does not write ASCII as ASCII");
      continue;
    }
    if (!bytes) {
      if (it != sources.end()) fail("a character that decodes cannot be written back");
      continue;
    }
    if (it != sources.end()) {
      bool known = false;
      for (unsigned s : it->second) known = known || s == *bytes;
      if (!known) fail("a character is written as bytes that read as another character");
      if (it->second.size() == 1) continue;
    }
    choices.push_back({c, *bytes});
  }
  for (char32_t c = 0x10000; c <= 0x10FFFF; ++c)
    if (auto bytes = encodeBytes(toCp932, c); bytes && !(bytes->empty() && c >= 0xE0000 && c <= 0xE007F))
      fail("a character beyond U+FFFF has bytes");

  std::printf(
      "// Code page 932 as Windows reads and writes it. Generated by tools/text/make_cp932_table.cpp\n"
      "// from the converter \"CP932\" of glibc %s and Windows' own single bytes 0x80, 0xA0 and\n"
      "// 0xFD-0xFF; make it again with that program rather than editing it. A zero is no character.\n"
      "#include \"text/cp932_table.hpp\"\n\nnamespace vunt::cp932 {\n\n",
      gnu_get_libc_version());
  auto hex = [](char32_t c) { std::printf("0x%04X", unsigned(c)); };
  std::printf("const char16_t kSingle[128] = {\n");
  for (int i = 0; i < 128; ++i) {
    std::printf(i % 8 == 0 ? "    " : " ");
    hex(single[i]);
    std::printf(i % 8 == 7 ? ",\n" : ",");
  }
  std::printf("};\n\nconst signed char kLeadRow[128] = {\n");
  for (int i = 0; i < 128; ++i) std::printf("%s%d,%s", i % 16 == 0 ? "    " : " ", leadRow[i], i % 16 == 15 ? "\n" : "");
  std::printf("};\n\nconst std::size_t kPairRows = %zu;\n\nconst char16_t kPairs[][kTrails] = {\n", rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    int lead = 0;
    while (leadRow[lead] != int(r)) ++lead;
    std::printf("    // %02X\n    {", 0x80 + lead);
    for (std::size_t t = 0; t < rows[r].size(); ++t) {
      if (t % 8 == 0 && t) std::printf("\n     ");
      else if (t) std::printf(" ");
      hex(rows[r][t]);
      std::printf(t + 1 < rows[r].size() ? "," : "},\n");
    }
  }
  std::printf("};\n\nconst Choice kChoices[] = {\n");
  for (std::size_t i = 0; i < choices.size(); ++i) {
    std::printf(i % 4 == 0 ? "    {" : " {");
    hex(choices[i].first);
    std::printf(", 0x%04X},%s", choices[i].second, i % 4 == 3 || i + 1 == choices.size() ? "\n" : "");
  }
  std::printf("};\n\nconst std::size_t kChoiceCount = sizeof kChoices / sizeof kChoices[0];\n\n}  // namespace vunt::cp932\n");
  iconv_close(toUnicode);
  iconv_close(toCp932);
  return 0;
}
