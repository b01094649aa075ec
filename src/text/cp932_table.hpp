#pragma once
// The built-in code page 932 table (src/text/cp932_table.cpp, made by
// tools/text/make_cp932_table.cpp). Only the codec reads it; everyone else calls fromCp932 and
// toCp932. Characters are UTF-16 units: every character of the code page lies in U+0001-U+FFFF,
// so 0 can stand for "no character".
#include <cstddef>
#include <cstdint>

namespace vunt::cp932 {

// Bytes 0x80-0xFF on their own (index byte - 0x80), 0 where the byte starts a pair or is invalid.
extern const char16_t kSingle[128];

// Second bytes of a pair run from kFirstTrail to kLastTrail.
constexpr unsigned char kFirstTrail = 0x40, kLastTrail = 0xFC;
constexpr std::size_t kTrails = kLastTrail - kFirstTrail + 1;

// The row of kPairs for each first byte 0x80-0xFF (index byte - 0x80), -1 where none starts a pair.
extern const signed char kLeadRow[128];
extern const std::size_t kPairRows;
extern const char16_t kPairs[][kTrails];

// The bytes Windows writes for a character that several byte sequences read as, or that no
// sequence reads as (U+00A5 is written 0x5C): a pair as first byte * 256 + second byte, a single
// byte as itself. Sorted by character.
struct Choice {
  char16_t c;
  std::uint16_t bytes;
};
extern const Choice kChoices[];
extern const std::size_t kChoiceCount;

}  // namespace vunt::cp932
