// SDL2_image and fontconfig are opened at their first use: SDL2_image's table resolves every
// function, a library or function that is missing is said by name, the bitmaps that SDL now reads
// itself come out as SDL2_image read them, and fontconfig still finds the fonts.
#include <gtest/gtest.h>
#include <SDL.h>
#include <SDL_image.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/picture.hpp"
#include "platform/sdl_font_files.hpp"
#include "platform/sdl_image_calls.hpp"
#include "platform/sdl_library.hpp"

using namespace vunt;
namespace fs = std::filesystem;

TEST(LateLibraries, MissingLibraryOrFunctionIsNamed) {
  SharedLibrary none("libvunt-no-such-library.so.0");
  EXPECT_FALSE(none.ok());
  EXPECT_NE(none.why().find("libvunt-no-such-library.so.0"), std::string::npos) << none.why();
  double (*cosine)(double) = nullptr;
  none.resolve(cosine, "cos");
  EXPECT_EQ(cosine, nullptr);

  SharedLibrary libm("libm.so.6");
  libm.resolve(cosine, "cos");
  ASSERT_TRUE(libm.ok()) << libm.why();
  EXPECT_EQ(cosine(0.0), 1.0);
  // One missing function spoils the table, and is the one named, even when others follow.
  double (*missing)(double) = nullptr;
  libm.resolve(missing, "vunt_no_such_function");
  libm.resolve(cosine, "cos");
  EXPECT_FALSE(libm.ok());
  EXPECT_NE(libm.why().find("vunt_no_such_function"), std::string::npos) << libm.why();
}

TEST(LateLibraries, ImageTableResolvesEveryFunction) {
  std::string why;
  const ImageCalls* img = imageCalls(why);
  ASSERT_NE(img, nullptr) << why;
  // Every entry of the table is set (each is one function pointer).
  const auto* slots = reinterpret_cast<void* const*>(img);
  for (std::size_t i = 0; i < sizeof *img / sizeof(void*); ++i) EXPECT_NE(slots[i], nullptr) << "entry " << i;
  // The same library as the one the program would have been linked with: a PNG written through
  // the table reads back through SDL2_image itself.
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 3, 2, 32, SDL_PIXELFORMAT_XRGB8888);
  ASSERT_NE(s, nullptr);
  SDL_FillRect(s, nullptr, 0x123456);
  const fs::path png = fs::temp_directory_path() / "vunt-late-libraries.png";
  ASSERT_EQ(img->SavePNG(s, png.c_str()), 0) << SDL_GetError();
  SDL_FreeSurface(s);
  SDL_Surface* back = IMG_Load(png.c_str());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->w, 3);
  EXPECT_EQ(back->h, 2);
  SDL_FreeSurface(back);
  fs::remove(png);
}

namespace {

// A Windows bitmap with a 40-byte header: bits per pixel, size (a negative height is stored top
// down), compression, palette and the pixel rows as they are written.
std::string bitmap(int bits, int w, int h, int compression, const std::vector<std::uint32_t>& palette,
                   const std::string& rows) {
  auto le = [](std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += char(v >> (8 * i));
  };
  const std::uint32_t offset = 14 + 40 + 4 * std::uint32_t(palette.size());
  std::string b = "BM";
  le(b, offset + std::uint32_t(rows.size()), 4);
  le(b, 0, 4);
  le(b, offset, 4);
  le(b, 40, 4);
  le(b, std::uint32_t(w), 4);
  le(b, std::uint32_t(h), 4);
  le(b, 1, 2);
  le(b, std::uint32_t(bits), 2);
  le(b, std::uint32_t(compression), 4);
  le(b, std::uint32_t(rows.size()), 4);
  le(b, 2835, 4);
  le(b, 2835, 4);
  le(b, std::uint32_t(palette.size()), 4);
  le(b, 0, 4);
  for (std::uint32_t c : palette) le(b, c, 4);
  return b + rows;
}

// The pixels SDL2_image's bitmap reader gives, as the engine's surfaces hold them, or its error.
std::string bySdlImage(const std::string& bytes, Surface& out) {
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
  SDL_Surface* s = IMG_LoadBMP_RW(rw);
  SDL_RWclose(rw);
  if (!s) return IMG_GetError();
  SDL_Surface* x = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_XRGB8888, 0);
  SDL_FreeSurface(s);
  out = Surface(x->w, x->h);
  for (int y = 0; y < x->h; ++y)
    for (int i = 0; i < x->w; ++i)
      out.setPixel(i, y, reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(x->pixels) + y * x->pitch)[i] & 0xFFFFFF);
  SDL_FreeSurface(x);
  return {};
}

}  // namespace

TEST(LateLibraries, BitmapsReadBySdlAsSdlImageReadThem) {
  const std::vector<std::uint32_t> grey{0x000000, 0x808080, 0xFFFFFF, 0x102030};
  std::vector<std::string> files = {
      bitmap(24, 3, 2, 0, {}, std::string("\1\2\3\4\5\6\7\10\11\0\0\0\11\12\13\14\15\16\17\20\21\0\0\0", 24)),
      bitmap(24, 3, -2, 0, {}, std::string("\1\2\3\4\5\6\7\10\11\0\0\0\11\12\13\14\15\16\17\20\21\0\0\0", 24)),
      bitmap(32, 2, 1, 0, {}, std::string("\1\2\3\0\4\5\6\0", 8)),
      bitmap(8, 4, 2, 0, grey, std::string("\0\1\2\3\3\2\1\0", 8)),
      bitmap(4, 4, 1, 0, grey, std::string("\x01\x23\0\0", 4)),
      bitmap(1, 8, 1, 0, {0x0000FF, 0x00FF00}, std::string("\xA5\0\0\0", 4)),
      // RLE8: a run of three of colour 1, two literal pixels, end of line, end of picture.
      bitmap(8, 5, 1, 1, grey, std::string("\3\1\0\2\2\3\0\0\0\1", 10)),
      // Cut short, a bit depth that does not exist, a palette index past the palette.
      bitmap(24, 3, 2, 0, {}, std::string("\1\2\3", 3)),
      bitmap(7, 2, 2, 0, {}, std::string(8, '\0')),
      bitmap(8, 2, 1, 0, {0x112233}, std::string("\0\5\0\0", 4)),
  };
  // The bitmaps of the picture fuzz target's seeds.
  for (const auto& entry : fs::directory_iterator(fs::path(VUNT_TEST_DATA) / "../../fuzz/corpus/picture")) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (bytes.rfind("BM", 0) == 0) files.push_back(bytes);
  }
  int same = 0, refused = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    Surface theirs;
    const std::string theirError = bySdlImage(files[i], theirs);
    std::string error;
    std::optional<Surface> ours = decodePicture(files[i], error);
    if (!theirError.empty()) {
      EXPECT_FALSE(ours) << "file " << i;
      // Refused by the engine's own checks first, or by SDL in SDL2_image's words.
      if (error.rfind("a broken picture", 0) == 0) {
        EXPECT_EQ(error, "a broken picture (" + theirError + ")") << "file " << i;
        ++refused;
      }
      continue;
    }
    ASSERT_TRUE(ours) << "file " << i << ": " << error;
    EXPECT_EQ(*ours, theirs) << "file " << i;
    ++same;
  }
  // Both ways were taken: pictures read alike and pictures refused alike.
  EXPECT_GE(same, 10);
  EXPECT_GE(refused, 2);
}

// fontconfig is opened at the first font not found where Debian's packages put it: it finds an
// installed family's file, and nothing for a family that is not installed (fontconfig would
// otherwise offer some other font).
TEST(LateLibraries, FontconfigFindsInstalledFamiliesOnly) {
  const std::string gothic = fontFile("IPAGothic");
  ASSERT_FALSE(gothic.empty());
  EXPECT_TRUE(fs::exists(gothic)) << gothic;
  EXPECT_EQ(fontFile("Vunt No Such Family"), "");
}
