// Pictures in a program without a picture codec (the authoring tools, the core tests): the
// engine's own checks still run, GIF and XPM are decoded, the other formats stop at their headers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/gif.hpp"
#include "platform/picture.hpp"

using namespace vunt;
namespace fs = std::filesystem;

namespace {
// A 1 x 1 GIF, and a bitmap header declaring w x h pixels with no pixels after it.
const std::string kGif("GIF89a\1\0\1\0\x80\0\0\0\0\0\xff\xff\xff,\0\0\0\0\1\0\1\0\0\2\2D\1\0;", 35);
std::string bitmapHeader(int w, int h) {
  std::string b = "BM" + std::string(24, '\0');
  b[14] = 40;
  for (int i = 0; i < 4; ++i) b[18 + i] = char(w >> (8 * i)), b[22 + i] = char(h >> (8 * i));
  return b;
}
// A string literal's bytes, the zeros inside it included.
template <std::size_t N>
std::string bytes(const char (&s)[N]) {
  return std::string(s, N - 1);
}
fs::path writeTemp(const std::string& name, const std::string& bytes) {
  fs::path p = fs::temp_directory_path() / ("vunt-picture-check-" + name);
  std::ofstream(p, std::ios::binary) << bytes;
  return p;
}
}  // namespace

TEST(PictureCheck, WithoutCodecHeadersAreCheckedAndGifDecoded) {
  std::string error;
  fs::path gif = writeTemp("a.gif", kGif);
  EXPECT_TRUE(checkPictureFile(gif, error)) << error;
  EXPECT_TRUE(decodePicture(kGif, error));
  fs::path cut = writeTemp("cut.gif", kGif.substr(0, 20));
  EXPECT_FALSE(checkPictureFile(cut, error));

  fs::path small = writeTemp("small.bmp", bitmapHeader(440, 320));
  EXPECT_TRUE(checkPictureFile(small, error)) << error;
  // Decoding it needs the codec, which this program lacks: said, never a blank picture.
  EXPECT_FALSE(decodePicture(bitmapHeader(440, 320), error));
  EXPECT_NE(error.find("no decoder"), std::string::npos) << error;

  fs::path huge = writeTemp("huge.bmp", bitmapHeader(5000, 5000));
  EXPECT_FALSE(checkPictureFile(huge, error));
  EXPECT_NE(error.find("16777216 pixels"), std::string::npos) << error;
  fs::path wmf = writeTemp("a.wmf", std::string("\xD7\xCD\xC6\x9A", 4) + std::string(40, '\0'));
  EXPECT_FALSE(checkPictureFile(wmf, error));
  EXPECT_NE(error.find("metafile"), std::string::npos);
  EXPECT_FALSE(checkPictureFile(fs::temp_directory_path() / "vunt-picture-check-missing", error));
  EXPECT_FALSE(savePng(Surface(2, 2), fs::temp_directory_path() / "vunt-picture-check-out.png"));
  for (const char* n : {"a.gif", "cut.gif", "small.bmp", "huge.bmp", "a.wmf"}) fs::remove(fs::temp_directory_path() / (std::string("vunt-picture-check-") + n));
}

// The check reads a GIF's headers only; it must refuse exactly what decoding refuses, with the
// same words, however the file is cut or spoilt.
TEST(PictureCheck, GifCheckAgreesWithDecoding) {
  // Two images, an extension first, a local colour table, an interlaced second image.
  const std::string two = bytes("GIF89a\2\0\2\0\x80\0\0" "\0\0\0\xff\xff\xff" "!\xf9\4\0\0\0\0\0") +
                          bytes(",\0\0\0\0\2\0\2\0\x80" "\x10\x20\x30\x40\x50\x60" "\2\2D\1\0") +
                          bytes(",\0\0\0\0\1\0\1\0\x40" "\2\2D\1\0;");
  std::vector<std::string> files;
  for (const std::string& whole : {kGif, two}) {
    for (std::size_t n = 0; n <= whole.size(); ++n) files.push_back(whole.substr(0, n));
    for (std::size_t i = 6; i < whole.size(); ++i)
      for (char b : {'\0', '\x01', '\x0c', '\x21', '\x2c', '\x3b', '\x80', '\xff'}) {
        std::string spoilt = whole;
        spoilt[i] = b;
        files.push_back(spoilt);
      }
  }
  int refused = 0;
  for (const std::string& f : files) {
    std::string decodeError, checkError;
    const bool decoded = decodeGif(f, 16, decodeError).has_value();
    EXPECT_EQ(checkGif(f, 16, checkError), decoded) << testing::PrintToString(f);
    EXPECT_EQ(checkError, decodeError) << testing::PrintToString(f);
    refused += !decoded;
  }
  EXPECT_GT(refused, 40);  // the cases reach the refusals, not only pictures that decode
}

TEST(PictureCheck, XpmReaderRefusesWhatItCannotRead) {
  const char* const good[] = {"2 1 2 1", ". c #000000", "w c #FFFFFF", ".w"};
  Surface s = xpmPicture(good);
  ASSERT_EQ(s.width(), 2);
  EXPECT_EQ(s.pixel(0, 0), rgb(0, 0, 0));
  EXPECT_EQ(s.pixel(1, 0), rgb(255, 255, 255));
  const char* const unknownKey[] = {"2 1 1 1", ". c #000000", ".x"};
  EXPECT_TRUE(xpmPicture(unknownKey).empty());
  const char* const shortRow[] = {"3 1 1 1", ". c #000000", ".."};
  EXPECT_TRUE(xpmPicture(shortRow).empty());
  const char* const namedColour[] = {"1 1 1 1", ". c None", "."};
  EXPECT_TRUE(xpmPicture(namedColour).empty());
  // A key given twice keeps its first colour, whether it is one character or more.
  const char* const twice[] = {"1 1 2 1", "x c #010203", "x c #0A0B0C", "x"};
  EXPECT_EQ(xpmPicture(twice).pixel(0, 0), rgb(1, 2, 3));
  const char* const twiceLong[] = {"1 1 2 2", "xy c #010203", "xy c #0A0B0C", "xy"};
  EXPECT_EQ(xpmPicture(twiceLong).pixel(0, 0), rgb(1, 2, 3));
  const char* const twoChars[] = {"2 1 2 2", "aa c #010203", "ab c #0A0B0C", "abaa"};
  Surface t = xpmPicture(twoChars);
  ASSERT_EQ(t.width(), 2);
  EXPECT_EQ(t.pixel(0, 0), rgb(10, 11, 12));
  EXPECT_EQ(t.pixel(1, 0), rgb(1, 2, 3));
  // The header's words: blanks of any length, a hot spot after them; a word that is no number, or
  // a count missing, is refused.
  const char* const spaced[] = {"  1\t 1  1 1  3 4 ", ". m #FFFFFF  c   #0A0B0C", "."};
  EXPECT_EQ(xpmPicture(spaced).pixel(0, 0), rgb(10, 11, 12));
  for (const char* header : {"1 1 1", "1 1x 1 1", "1 -1 1 1", "", "1 1 1 0"}) {
    const char* const bad[] = {header, ". c #000000", "."};
    EXPECT_TRUE(xpmPicture(bad).empty()) << header;
  }
}
