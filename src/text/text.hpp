#pragma once
// Text conversions. The engine works on characters (UTF-32), never on bytes: scripts come in
// code page 932 (or UTF-8) and are converted once; the screen and the transcript take UTF-8.
// Code page 932 is read and written from a built-in table, the same on every platform.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vunt {

std::string toUtf8(std::u32string_view s);
std::u32string fromUtf8(std::string_view s);  // invalid bytes become U+FFFD
bool isValidUtf8(std::string_view s);

// Decodes code page 932 as Windows does, including its single bytes 0x80 (U+0080), 0xA0 (U+F8F0)
// and 0xFD-0xFF (U+F8F1-U+F8F3); a byte that starts no valid character (a first byte without a
// valid second one, also at the end of the text) becomes U+FFFD and the next byte is read afresh,
// so nothing fails the load.
std::u32string fromCp932(std::string_view bytes);

// Encodes to code page 932 as Windows writes it: where several byte sequences read as one
// character (the NEC and IBM duplicates) Windows' choice, and a few characters without a sequence
// of their own as their nearest one (U+00A5 as 0x5C, U+2014 as 81 5C, ...). Characters with no
// form at all are left out of the bytes and listed by their index in the text.
struct Cp932Encoding {
  std::string bytes;
  std::vector<std::size_t> unmapped;
};
Cp932Encoding toCp932(std::u32string_view text);

// Script files: UTF-8 when they start with the byte-order mark or are valid UTF-8 throughout,
// code page 932 otherwise.
std::u32string decodeScriptText(std::string_view bytes);

// The platform's number-to-text form of a 16-bit integer: a leading blank for 0 and above.
std::u32string numberText(int v);
// Plain decimal text: no leading blank, "-" for negative values.
std::u32string decimalText(int v);

}  // namespace vunt
