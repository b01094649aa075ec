// Progressive JPEGs of many scans: refused from their markers before the decoder, which passes
// over the whole image once per scan, sees them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/game_files.hpp"
#include "platform/jpeg_scans.hpp"
#include "platform/picture.hpp"

using namespace vunt;

namespace {

std::string segment(int marker, const std::string& body) {
  const std::size_t n = body.size() + 2;
  return std::string{char(0xFF), char(marker), char(n >> 8), char(n & 0xFF)} + body;
}

// A grey progressive JPEG of size x size pixels, all of one shade: a DC scan, then `scans` AC
// scans that each end every block at once (one end-of-band run over the whole image).
std::string progressiveJpeg(int size, int scans) {
  std::string j = "\xFF\xD8";
  j += segment(0xDB, std::string(1, '\0') + std::string(64, '\1'));
  j += segment(0xC2, std::string{8, char(size >> 8), char(size & 0xFF), char(size >> 8), char(size & 0xFF), 1, 1, 0x11, 0});
  // Huffman tables with one code of one bit: DC difference category 0; AC end-of-band run of
  // 2^14 blocks plus 14 extra bits.
  j += segment(0xC4, std::string{0x00, 1} + std::string(15, '\0') + std::string(1, '\0'));
  j += segment(0xC4, std::string{0x10, 1} + std::string(15, '\0') + std::string(1, char(0xE0)));
  const std::size_t blocks = std::size_t((size + 7) / 8) * std::size_t((size + 7) / 8);
  j += segment(0xDA, std::string{1, 1, 0x00, 0, 0, 0}) + std::string((blocks + 7) / 8, '\0');
  const std::string runs(((blocks + 16383) / 16384 * 15 + 7) / 8, '\0');
  for (int i = 0; i < scans; ++i) j += segment(0xDA, std::string{1, 1, 0x00, 1, 63, 0}) + runs;
  return j + "\xFF\xD9";
}

}  // namespace

TEST(JpegScans, CountedFromTheMarkers) {
  EXPECT_EQ(jpegScanCount(progressiveJpeg(64, 0)), 1u);
  EXPECT_EQ(jpegScanCount(progressiveJpeg(64, 9)), 10u);
  const std::string baseline = readWholeFile(std::filesystem::path(VUNT_TEST_DATA) / "two-colours-jpeg.szg").value_or("");
  EXPECT_EQ(jpegScanCount(baseline), 1u);
  // Cut anywhere, the count never reads past the end.
  const std::string j = progressiveJpeg(16, 3);
  for (std::size_t n = 0; n < j.size(); ++n) EXPECT_LE(jpegScanCount(j.substr(0, n)), 4u);
}

TEST(JpegScans, AHundredScansDecodeAndMoreAreRefused) {
  std::string error;
  std::optional<Surface> ok = decodePicture(progressiveJpeg(64, 99), error);
  ASSERT_TRUE(ok) << error;
  EXPECT_EQ(ok->width(), 64);
  EXPECT_FALSE(decodePicture(progressiveJpeg(64, 100), error));
  EXPECT_NE(error.find("scans"), std::string::npos) << error;
  // 4096 x 4096 pixels and 100,000 scans in 1.8 MB: the decoder alone took about two minutes.
  const std::string slow = progressiveJpeg(4096, 100000);
  EXPECT_LT(slow.size(), kMaxPictureFileBytes);
  EXPECT_FALSE(decodePicture(slow, error));
}
