// Code page 932 both ways, from the built-in table of cp932_table.cpp.
#include <algorithm>

#include "text/cp932_table.hpp"
#include "text/text.hpp"

namespace vunt {

namespace {

// The character a first byte and a second byte read as, 0 when they are no pair.
char32_t pairAt(unsigned char lead, unsigned char trail) {
  const int row = cp932::kLeadRow[lead - 0x80];
  if (row < 0 || std::size_t(row) >= cp932::kPairRows) return 0;
  if (trail < cp932::kFirstTrail || trail > cp932::kLastTrail) return 0;
  return cp932::kPairs[row][trail - cp932::kFirstTrail];
}

bool before(const cp932::Choice& a, const cp932::Choice& b) { return a.c < b.c; }

// Every character of the table with the bytes it is written as, sorted by character: the table's
// choice where it has one, otherwise the only byte sequence that reads as the character.
const std::vector<cp932::Choice>& encodingIndex() {
  static const std::vector<cp932::Choice> index = [] {
    const cp932::Choice* chosen = cp932::kChoices;
    const cp932::Choice* chosenEnd = cp932::kChoices + cp932::kChoiceCount;
    std::vector<cp932::Choice> all(chosen, chosenEnd);
    auto add = [&](char16_t c, unsigned bytes) {
      if (c != 0 && !std::binary_search(chosen, chosenEnd, cp932::Choice{c, 0}, before))
        all.push_back({c, std::uint16_t(bytes)});
    };
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
      add(cp932::kSingle[b - 0x80], b);
      for (unsigned t = cp932::kFirstTrail; t <= cp932::kLastTrail; ++t)
        add(char16_t(pairAt((unsigned char)b, (unsigned char)t)), b << 8 | t);
    }
    std::sort(all.begin(), all.end(), before);
    return all;
  }();
  return index;
}

}  // namespace

std::u32string fromCp932(std::string_view bytes) {
  std::u32string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const unsigned char b = (unsigned char)bytes[i];
    if (b < 0x80) { out += char32_t(b); ++i; continue; }
    if (char32_t c = cp932::kSingle[b - 0x80]) { out += c; ++i; continue; }
    if (char32_t c = i + 1 < bytes.size() ? pairAt(b, (unsigned char)bytes[i + 1]) : 0) { out += c; i += 2; continue; }
    out += U'\uFFFD';
    ++i;
  }
  return out;
}

Cp932Encoding toCp932(std::u32string_view text) {
  const std::vector<cp932::Choice>& index = encodingIndex();
  Cp932Encoding out;
  out.bytes.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (c < 0x80) { out.bytes += char(c); continue; }
    auto it = c <= 0xFFFF ? std::lower_bound(index.begin(), index.end(), cp932::Choice{char16_t(c), 0}, before)
                          : index.end();
    if (it == index.end() || it->c != c) { out.unmapped.push_back(i); continue; }
    if (it->bytes > 0xFF) out.bytes += char(it->bytes >> 8);
    out.bytes += char(it->bytes & 0xFF);
  }
  return out;
}

}  // namespace vunt
