// Game files that are broken, hostile or not files at all: the script, the save file and the
// pictures. Each must end in a report or in nothing changed, quickly, without a crash.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "session.hpp"
#include "platform/game_files.hpp"
#include "platform/gif.hpp"
#include "platform/picture.hpp"
#include "script/save_format.hpp"
#include "script/script_store.hpp"
#include "script_checks.hpp"

using namespace vunt;
using namespace vunt::test;
namespace fs = std::filesystem;

namespace {

std::string testData(const std::string& name) {
  return readWholeFile(fs::path(VUNT_TEST_DATA) / name).value_or("");
}

std::optional<Surface> decode(const std::string& bytes) {
  std::string error;
  std::optional<Surface> s = decodePicture(bytes, error);
  if (!s) {
    EXPECT_FALSE(error.empty());
  }
  return s;
}

// A file of this size whose bytes are not stored (it costs no disk space).
void sparseFile(const fs::path& p, std::uintmax_t size) {
  std::ofstream(p, std::ios::binary) << "EOF\r\n";
  fs::resize_file(p, size);
}

const std::string kLoadFailure = "Zad ERROR\tファイルが読込めません\\r\\nvunt-n.zad( 0)\\r";

}  // namespace

TEST(BadFiles, ReaderTakesOnlyRegularFilesOfBoundedSize) {
  GameDir dir;
  dir.write("ok", "abc");
  EXPECT_EQ(readWholeFile(dir.path() / "ok"), "abc");
  EXPECT_EQ(readWholeFile(dir.path() / "ok", 2), std::nullopt);
  EXPECT_EQ(readWholeFile(dir.path()), std::nullopt);
  EXPECT_EQ(readWholeFile(dir.path() / "missing"), std::nullopt);
  ASSERT_EQ(::mkfifo((dir.path() / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(readWholeFile(dir.path() / "pipe"), std::nullopt);  // at once, without a writer
  EXPECT_EQ(readWholeFile("/dev/zero"), std::nullopt);
}

TEST(BadFiles, AFileOfExactlyTheLimitIsReadAndOneByteMoreIsNot) {
  GameDir dir;
  dir.write("ok", "abc");
  EXPECT_EQ(readWholeFile(dir.path() / "ok", 3), "abc");
  EXPECT_EQ(readWholeFile(dir.path() / "ok", 2), std::nullopt);
  // Larger than one read of the file: the limit holds across reads too.
  const std::string big(70000, 'x');
  dir.write("big", big);
  EXPECT_EQ(readWholeFile(dir.path() / "big", big.size()), big);
  EXPECT_EQ(readWholeFile(dir.path() / "big", big.size() - 1), std::nullopt);
}

TEST(BadFiles, ScriptThatIsNoFileOrTooLargeIsALoadFailure) {
  {
    GameDir dir;
    fs::create_directory(dir.path() / "vunt-n.zad");
    EXPECT_EQ(play(dir).last("error"), kLoadFailure);
  }
  {
    GameDir dir;
    ASSERT_EQ(::mkfifo((dir.path() / "vunt-n.zad").c_str(), 0600), 0);
    EXPECT_EQ(play(dir).last("error"), kLoadFailure);
  }
  {
    GameDir dir;
    fs::create_symlink("/dev/zero", dir.path() / "vunt-n.zad");
    EXPECT_EQ(play(dir).last("error"), kLoadFailure);
  }
  {
    GameDir dir;
    sparseFile(dir.path() / "vunt-n.zad", kMaxGameFileBytes + 1);
    EXPECT_EQ(play(dir).last("error"), kLoadFailure);
  }
}

TEST(BadFiles, ScriptOfMillionsOfEmptyLinesFailsAfterLine1001) {
  // Only one line more than the store holds is cut from the text.
  const std::u32string text(4'000'000, U'\n');
  EXPECT_EQ(splitScriptLines(text, 1001).size(), 1001u);
  EXPECT_EQ(splitScriptLines(U"A\nB\nC", 2), (std::vector<std::u32string>{U"A", U"B"}));
  EXPECT_EQ(splitScriptLines(U"A\nB", 2), (std::vector<std::u32string>{U"A", U"B"}));
  GameDir dir;
  dir.write("vunt-n.zad", std::string(4'000'000, '\n'));
  EXPECT_EQ(play(dir).last("error"), "Zad ERROR\tファイルが読込めません\\r\\nvunt-n.zad( 1001)\\r");
}

TEST(BadFiles, SaveFileThatIsNoFileOrTooLargeChangesNoFlag) {
  for (int kind = 0; kind < 3; ++kind) {
    GameDir dir;
    const fs::path save = dir.path() / "VUNT.DAT";
    if (kind == 0) {
      ASSERT_EQ(::mkfifo(save.c_str(), 0600), 0);
    } else if (kind == 1) {
      fs::create_symlink("/dev/zero", save);
    } else {
      sparseFile(save, kMaxGameFileBytes + 1);
    }
    dir.script({"LET,3,7", "LOAD", "EOF"});
    Played r = play(dir);
    EXPECT_EQ(r.last("end"), "EOF") << kind;
    EXPECT_EQ(finalFlags(r)[3], 7) << kind;
    if (kind == 1) {
      EXPECT_EQ(r.last("error"), "(none)") << "a link out of the folder counts as no file at all";
    } else {
      EXPECT_NE(r.last("error").find("ファイルを読み込めません"), std::string::npos) << kind;
    }
  }
}

TEST(BadFiles, SaveNeverWritesThroughALinkNamedLikeItsTemporaryFile) {
  GameDir dir;
  GameDir elsewhere;
  const fs::path victim = elsewhere.path() / "precious.txt";
  std::ofstream(victim) << "keep me";
  fs::create_symlink(victim, dir.path() / "VUNT.DAT.tmp");
  dir.script({"LET,1,5", "SAVE", "EOF"});
  Played r = play(dir);
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(r.of("error").size(), 0u);
  EXPECT_EQ(readWholeFile(victim), "keep me");
  SaveFileRead saved = readSaveFile(readWholeFile(dir.path() / "VUNT.DAT").value_or(""));
  ASSERT_TRUE(saved.ok);
  EXPECT_EQ(saved.flags[1], 5);
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / "VUNT.DAT.tmp")));
}

TEST(BadFiles, PictureThatIsNoFileIsReported) {
  GameDir dir;
  ASSERT_EQ(::mkfifo((dir.path() / "pipe.szg").c_str(), 0600), 0);
  fs::create_directory(dir.path() / "dir.szg");
  for (const char* name : {"pipe", "dir"}) {
    dir.script({std::string("GHG,") + name, "EOF"});
    Played r = play(dir);
    EXPECT_EQ(r.last("error"), std::string("Zad ERROR\t画像が読込めません\\r\\n") + name + ".szg( 1)\\rGHG," + name);
  }
}

TEST(BadPictures, GifThatCrashedTheSystemDecoderIsReported) {
  // Found by the picture fuzzer: the system's GIF reader freed a pointer it never allocated.
  EXPECT_FALSE(decode(testData("broken-lzw-gif.szg")));
  GameDir dir;
  dir.write("p.szg", testData("broken-lzw-gif.szg"));
  dir.script({"GHG,p", "EOF"});
  EXPECT_EQ(play(dir).last("error"), "Zad ERROR\t画像が読込めません\\r\\np.szg( 1)\\rGHG,p");
}

TEST(BadPictures, PngCutShortIsReportedInsteadOfHanging) {
  // Found by the picture fuzzer: a PNG whose last chunk runs past the end of the file kept the
  // system's PNG reader busy for ever.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(decode(testData("cut-short-png.szg")));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(BadPictures, HugeDeclaredSizesAreRefusedBeforeDecoding) {
  // A 300-byte JPEG that claims 30000 x 30000 pixels once took 10 GB and 50 s to show.
  std::string jpeg = testData("two-colours-jpeg.szg");
  ASSERT_TRUE(decode(jpeg));
  for (std::size_t at = 2; at + 9 < jpeg.size(); at += 2 + (std::uint8_t(jpeg[at + 2]) << 8 | std::uint8_t(jpeg[at + 3]))) {
    if (std::uint8_t(jpeg[at + 1]) == 0xC0) {
      jpeg.replace(at + 5, 4, std::string("\x75\x30\x75\x30", 4));
      break;
    }
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(decode(jpeg));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

  // A bitmap header of 100000 x 100000 pixels, a PNG of 5000 x 5000, a GIF of 65535 x 65535.
  std::string bmp = "BM" + std::string(12, '\0') + std::string("\x28\0\0\0\xA0\x86\x01\0\xA0\x86\x01\0\1\0\x18\0", 16) +
                    std::string(24, '\0');
  EXPECT_FALSE(decode(bmp));
  std::string png = testData("cut-short-png.szg").substr(0, 16) + std::string("\0\0\x13\x88\0\0\x13\x88", 8);
  EXPECT_FALSE(decode(png));
  const std::string gif = std::string("GIF89a\1\0\1\0\0\0\0,\0\0\0\0\xFF\xFF\xFF\xFF\0\2\2\x44\1\0;", 27);
  std::string error;
  EXPECT_FALSE(decodeGif(gif, kMaxPicturePixels, error));
  EXPECT_NE(error.find("too large"), std::string::npos);
}

TEST(BadPictures, OnlyTheKnownFormatsAreDecoded) {
  EXPECT_FALSE(decode("/* XPM */\nstatic char *x[] = {\"1 1 1 1\", \"a c #ff0000\", \"a\"};\n"));
  EXPECT_FALSE(decode(std::string("\x0A\x05\x01\x08", 4) + std::string(124, '\0')));  // PCX
  EXPECT_FALSE(decode(""));
  EXPECT_TRUE(decode(testData("yellow-icon.szg")));
}

TEST(Gif, InterlacedRowsLandInPlace) {
  auto plain = decode(testData("plain-gif.szg"));
  auto interlaced = decode(testData("interlaced-gif.szg"));
  ASSERT_TRUE(plain && interlaced);
  EXPECT_EQ(plain->width(), 13);
  EXPECT_EQ(plain->height(), 11);
  EXPECT_EQ(*plain, *interlaced);
  // The pixels as ImageMagick reads them.
  EXPECT_EQ(plain->pixel(0, 0), 0xE60019u);
  EXPECT_EQ(plain->pixel(0, 4), 0xA60059u);
  EXPECT_EQ(plain->pixel(12, 4), 0x800080u);
  EXPECT_EQ(plain->pixel(0, 5), 0x5D00A2u);
  EXPECT_EQ(plain->pixel(12, 10), 0x1900E6u);
}

TEST(Gif, RepeatedPixelsAndFilesCutShort) {
  // One colour throughout: the LZW codes that refer to the string being defined.
  auto solid = decode(testData("solid-gif.szg"));
  ASSERT_TRUE(solid);
  EXPECT_EQ(*solid, Surface(20, 20, rgb(255, 255, 0)));
  // Cut inside the pixel data: the picture keeps its size, the pixels it has and black.
  std::string gif = testData("two-colours-gif.szg");
  auto cut = decode(gif.substr(0, gif.size() - 12));
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->width(), 30);
  EXPECT_EQ(cut->height(), 20);
  EXPECT_EQ(cut->pixel(0, 0), rgb(255, 0, 0));
  EXPECT_EQ(cut->pixel(29, 19), rgb(0, 0, 0));
  // Cut before the pixels, or no picture at all.
  EXPECT_FALSE(decode(gif.substr(0, 20)));
  EXPECT_FALSE(decode("GIF89a"));
}

TEST(Gif, ImageLiesAtItsPlaceOnTheLogicalScreen) {
  // A screen of 4 x 3 with background colour 1 (blue) of the global table, and an image of two
  // red pixels at (left, 1).
  auto gif = [](int screenW, int screenH, int left) {
    return std::string("GIF89a") + char(screenW) + '\0' + char(screenH) + '\0' + std::string("\x80\x01\x00", 3) +
           std::string("\xFF\0\0\0\0\xFF", 6) + ',' + char(left) + std::string("\0\1\0\2\0\1\0\0\2", 9) +
           std::string("\x02\x04\x0A\0;", 5);
  };
  std::string error;
  auto placed = decodeGif(gif(4, 3, 1), kMaxPicturePixels, error);
  ASSERT_TRUE(placed) << error;
  ASSERT_EQ(placed->width(), 4);
  ASSERT_EQ(placed->height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(placed->pixel(x, y), y == 1 && (x == 1 || x == 2) ? rgb(255, 0, 0) : rgb(0, 0, 255)) << x << "," << y;
  // What lies off the screen is cut off; a screen of 0 x 0 becomes the image's extent.
  auto cut = decodeGif(gif(4, 3, 3), kMaxPicturePixels, error);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->pixel(3, 1), rgb(255, 0, 0));
  EXPECT_EQ(cut->pixel(2, 1), rgb(0, 0, 255));
  auto undeclared = decodeGif(gif(0, 0, 1), kMaxPicturePixels, error);
  ASSERT_TRUE(undeclared);
  EXPECT_EQ(undeclared->width(), 3);
  EXPECT_EQ(undeclared->height(), 2);
  EXPECT_EQ(undeclared->pixel(0, 0), rgb(0, 0, 255));
  // A screen of 65535 x 65535 around a tiny image is refused before anything is allocated.
  std::string huge = gif(4, 3, 1);
  huge.replace(6, 4, "\xFF\xFF\xFF\xFF");
  EXPECT_FALSE(decodeGif(huge, kMaxPicturePixels, error));
  EXPECT_NE(error.find("screen"), std::string::npos);
}
