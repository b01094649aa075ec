#include "platform/jpeg_scans.hpp"

namespace vunt {

std::size_t jpegScanCount(std::string_view b) {
  auto at = [&](std::size_t i) { return static_cast<unsigned char>(b[i]); };
  std::size_t scans = 0;
  std::size_t i = 2;  // after the start-of-image marker
  while (i + 1 < b.size()) {
    if (at(i) != 0xFF) {
      ++i;  // not at a marker: entropy-coded bytes of the scan before, or garbage
      continue;
    }
    const unsigned marker = at(i + 1);
    if (marker == 0xD9) break;  // end of image
    // Fill bytes, stuffed zero bytes and restart markers carry no length.
    if (marker == 0xFF || marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      i += marker == 0xFF ? 1 : 2;
      continue;
    }
    if (marker == 0xDA) ++scans;
    if (i + 3 >= b.size()) break;
    const std::size_t length = std::size_t(at(i + 2)) << 8 | at(i + 3);
    // A segment's length counts its own two bytes; the scan's data follows its header.
    i += 2 + (length < 2 ? 2 : length);
  }
  return scans;
}

}  // namespace vunt
