#pragma once
// The scans of a JPEG file, counted from its markers without decoding it. A progressive JPEG may
// hold any number of scans, and the decoder passes over the whole image once for each: a file of
// a few megabytes with 100,000 tiny scans kept the game busy for minutes. Real encoders write at
// most a few dozen.
#include <cstddef>
#include <string_view>

namespace vunt {

constexpr std::size_t kMaxJpegScans = 100;

// The number of start-of-scan markers up to the end-of-image marker or the end of the bytes.
std::size_t jpegScanCount(std::string_view bytes);

}  // namespace vunt
