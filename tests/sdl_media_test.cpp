// The SDL backend's fonts and codec are registered in the programs that link it, and the engine's
// own readers agree with SDL2_image where both read the same thing. One open font serves every
// size and style of its family, which SDL2_ttf draws as fonts opened at that size.
#include <gtest/gtest.h>
#include <SDL_ttf.h>

#include <cstring>
#include <utility>
#include <vector>

#include "platform/font.hpp"
#include "platform/picture.hpp"
#include "platform/sdl_media.hpp"

#include "assets/click_pointer.xpm"
#include "assets/icon.xpm"
#include "assets/keyboard_pointer.xpm"
#include "assets/tiles.xpm"

using namespace vunt;

TEST(SdlMedia, EngineXpmReaderEqualsSdlImage) {
  for (const char* const* xpm : {click_pointer_xpm, icon_xpm, keyboard_pointer_xpm, tiles_xpm}) {
    const Surface ours = xpmPicture(xpm), sdl = sdlXpmPicture(xpm);
    ASSERT_FALSE(ours.empty()) << xpm[0];
    ASSERT_EQ(ours.width(), sdl.width());
    ASSERT_EQ(ours.height(), sdl.height());
    for (int y = 0; y < ours.height(); ++y)
      for (int x = 0; x < ours.width(); ++x) ASSERT_EQ(ours.pixel(x, y), sdl.pixel(x, y)) << xpm[0] << " at " << x << "," << y;
  }
}

TEST(SdlMedia, RegisteredBeforeMain) {
  // The object library vunt_sdl_media registered the fonts and the codec: a bitmap decodes and
  // the font is the backend's, whose 9-point IPA Gothic is 12 pixels high.
  std::string bmp = "BM" + std::string(12, '\0');
  bmp[10] = 54;
  std::string info(40, '\0');
  info[0] = 40, info[4] = 1, info[8] = 1, info[12] = 1, info[14] = 24;
  bmp += info + std::string("\x10\x20\x30\0", 4);
  std::string error;
  std::optional<Surface> s = decodePicture(bmp, error);
  ASSERT_TRUE(s) << error;
  EXPECT_EQ(s->pixel(0, 0), rgb(0x30, 0x20, 0x10));
  EXPECT_GT(Font::get(FontSpec{}).width(U"あ"), 0);
}

TEST(SdlMedia, TextDrawnAgainFromTheCacheIsTheTextDrawnFirst) {
  // Each text is rendered once per colour and kept: drawing it again, in between in another
  // colour and over another background, gives the pixels of the first drawing.
  const Font& font = Font::get(FontSpec{U"ＭＳ ゴシック", 10});
  auto drawn = [&](std::u32string_view text, Colour colour, Colour background, int* advance = nullptr) {
    Surface s(60, 20, background);
    const int a = font.draw(s, 2, 1, text, colour);
    if (advance) *advance = a;
    return s;
  };
  int first = 0, again = 0;
  const Surface red = drawn(U"あA", rgb(255, 0, 0), rgb(255, 255, 255), &first);
  const Surface blue = drawn(U"あA", rgb(0, 0, 255), rgb(255, 255, 255));
  const Surface onGrey = drawn(U"あA", rgb(255, 0, 0), rgb(128, 128, 128));
  EXPECT_NE(red, blue);
  EXPECT_NE(red, onGrey);
  EXPECT_EQ(drawn(U"あA", rgb(255, 0, 0), rgb(255, 255, 255), &again), red);
  EXPECT_EQ(again, first);
  EXPECT_EQ(first, font.width(U"あA"));
  EXPECT_NE(drawn(U"あ", rgb(255, 0, 0), rgb(255, 255, 255)), red);
  // Single characters found lately are kept by their low bits: あ (U+3042) and B (U+0042) take the
  // same place, and each colour is its own.
  const Surface a = drawn(U"あ", rgb(255, 0, 0), rgb(255, 255, 255));
  const Surface b = drawn(U"B", rgb(255, 0, 0), rgb(255, 255, 255));
  const Surface blueA = drawn(U"あ", rgb(0, 0, 255), rgb(255, 255, 255));
  EXPECT_NE(a, b);
  EXPECT_NE(a, blueA);
  EXPECT_EQ(drawn(U"あ", rgb(255, 0, 0), rgb(255, 255, 255)), a);
  EXPECT_EQ(drawn(U"B", rgb(255, 0, 0), rgb(255, 255, 255)), b);
  EXPECT_EQ(drawn(U"あ", rgb(0, 0, 255), rgb(255, 255, 255)), blueA);
}

TEST(SdlMedia, FontSetToAnotherSizeDrawsAsOneOpenedAtThatSize) {
  // The sizes and styles the game asks of IPA Gothic (labels, messages, the puzzle's counters and
  // its underlined word, a bold face), set in turn on one font, back and forth.
  const char* file = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  if (!TTF_WasInit()) {
    ASSERT_EQ(TTF_Init(), 0);
  }
  TTF_Font* shared = TTF_OpenFontDPI(file, 12, 72, 72);
  if (!shared) GTEST_SKIP() << "no " << file;
  TTF_SetFontHinting(shared, TTF_HINTING_NORMAL);
  const std::vector<std::pair<int, int>> faces{{12, 0}, {13, 0}, {37, 0}, {96, TTF_STYLE_UNDERLINE}, {13, TTF_STYLE_BOLD}};
  for (int round = 0; round < 2; ++round)
    for (const auto& [pixels, style] : faces) {
      ASSERT_EQ(TTF_SetFontSizeDPI(shared, pixels, 72, 72), 0);
      TTF_SetFontStyle(shared, style);
      TTF_Font* own = TTF_OpenFontDPI(file, pixels, 72, 72);
      ASSERT_NE(own, nullptr);
      TTF_SetFontStyle(own, style);
      TTF_SetFontHinting(own, TTF_HINTING_NORMAL);
      const char* text = round ? "永A、失敗" : "日本語の一行を表示しますgy";
      int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
      TTF_SizeUTF8(shared, text, &w1, &h1);
      TTF_SizeUTF8(own, text, &w2, &h2);
      EXPECT_EQ(std::make_pair(w1, h1), std::make_pair(w2, h2)) << pixels;
      EXPECT_EQ(TTF_FontHeight(shared), TTF_FontHeight(own)) << pixels;
      SDL_Surface* a = TTF_RenderUTF8_Blended(shared, text, SDL_Color{10, 20, 30, 255});
      SDL_Surface* b = TTF_RenderUTF8_Blended(own, text, SDL_Color{10, 20, 30, 255});
      ASSERT_TRUE(a && b);
      ASSERT_EQ(a->w, b->w);
      ASSERT_EQ(a->h, b->h);
      for (int y = 0; y < a->h; ++y)
        ASSERT_EQ(std::memcmp(static_cast<const char*>(a->pixels) + y * a->pitch,
                              static_cast<const char*>(b->pixels) + y * b->pitch, std::size_t(a->w) * 4), 0)
            << pixels << " px, style " << style << ", row " << y;
      SDL_FreeSurface(a);
      SDL_FreeSurface(b);
      TTF_CloseFont(own);
    }
  TTF_CloseFont(shared);
}
