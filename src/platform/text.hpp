#pragma once
// Text conversions. The engine works on characters (UTF-32), never on bytes: scripts come in
// code page 932 (or UTF-8) and are converted once; the screen and the transcript take UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

namespace vunt {

std::string toUtf8(std::u32string_view s);
std::u32string fromUtf8(std::string_view s);  // invalid bytes become U+FFFD
bool isValidUtf8(std::string_view s);

// Decodes code page 932 as Windows does, including the single bytes 0x80, 0xA0 and 0xFD-0xFF that
// iconv rejects; a byte that starts no valid character becomes U+FFFD, so nothing fails the load.
std::u32string fromCp932(std::string_view bytes);

// Script files: UTF-8 when they start with the byte-order mark or are valid UTF-8 throughout,
// code page 932 otherwise.
std::u32string decodeScriptText(std::string_view bytes);

// The platform's number-to-text form of a 16-bit integer: a leading blank for 0 and above.
std::u32string numberText(int v);
// Plain decimal text: no leading blank, "-" for negative values.
std::u32string decimalText(int v);

}  // namespace vunt
