// The window host's pure parts: where the game lands in a window at which scale, the scaled copy
// into the window's pixels, and the layout of the message box drawn inside the game.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/game_folder.hpp"
#include "platform/message_box.hpp"
#include "platform/viewport.hpp"

using namespace vunt;

TEST(Viewport, WindowOpensAtTheLargestScaleThatFitsEightyPercent) {
  EXPECT_EQ(startScale(1024, 768, 440, 384), 1);   // 2x would be 880 x 768: too tall
  EXPECT_EQ(startScale(1280, 1024, 440, 384), 2);
  EXPECT_EQ(startScale(1920, 1080, 440, 384), 2);  // 864 high: 3x (1152) does not fit
  EXPECT_EQ(startScale(3840, 2160, 440, 384), 4);
  EXPECT_EQ(startScale(320, 200, 440, 384), 1);    // never below 1
  EXPECT_EQ(startScale(0, 0, 440, 384), 1);        // no display size known
}

TEST(Viewport, PictureIsCentredAtAWholeScaleAndMapsPointsBack) {
  Viewport v = fitViewport(1280, 1024, 440, 384);  // full screen at 1280 x 1024
  EXPECT_EQ(v.scale, 2);
  EXPECT_EQ(v.x, 200);
  EXPECT_EQ(v.y, 128);
  int x = -1, y = -1;
  EXPECT_TRUE(toPicture(v, 200, 128, x, y));
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_TRUE(toPicture(v, 200 + 879, 128 + 767, x, y));
  EXPECT_EQ(x, 439);
  EXPECT_EQ(y, 383);
  EXPECT_FALSE(toPicture(v, 199, 500, x, y));   // the black border takes no clicks
  EXPECT_FALSE(toPicture(v, 1080, 500, x, y));
  // A bound on the scale, and a window smaller than the picture: scale 1, overhanging evenly.
  EXPECT_EQ(fitViewport(1280, 1024, 640, 400, 1).scale, 1);
  Viewport small = fitViewport(400, 300, 440, 384);
  EXPECT_EQ(small.scale, 1);
  EXPECT_EQ(small.x, -20);
  EXPECT_EQ(small.y, -42);
}

// Fit mode: the largest picture of the game's proportions, at any scale, still nearest-pixel.
TEST(Viewport, FitFillsTheLargestPlaceAndMapsItsEdgesBack) {
  const Viewport v = fitAnyViewport(1024, 600, 440, 384);  // no whole multiple above 1 fits
  EXPECT_EQ(v.h, 599);
  EXPECT_EQ(v.w, 687);
  EXPECT_EQ(v.scale, 1);
  EXPECT_EQ(v.x, (1024 - 687) / 2);
  int x = -1, y = -1;
  ASSERT_TRUE(toPicture(v, v.x + v.w - 1, v.y + v.h - 1, x, y));
  EXPECT_EQ(x, 439);
  EXPECT_EQ(y, 383);
  ASSERT_TRUE(toPicture(v, v.x, v.y, x, y));
  EXPECT_EQ(x + y, 0);
  // Never smaller than the picture itself.
  EXPECT_EQ(fitAnyViewport(300, 200, 440, 384).w, 440);
  // Every pixel of the place is drawn from the picture, with no gap and no smoothing.
  Surface src(3, 2);
  for (int i = 0; i < 6; ++i) src.setPixel(i % 3, i / 3, Colour(0x100000 * (i + 1)));
  std::vector<std::uint32_t> px(8 * 5, 0xABCDEF);
  const Viewport f = fitAnyViewport(8, 5, 3, 2);  // 7 x 4 at (0, 0)
  ASSERT_EQ(f.w, 7);
  drawScaled(src, f, PixelTarget{px.data(), 8 * 4, 8, 5});
  for (int ty = 0; ty < f.h; ++ty)
    for (int tx = 0; tx < f.w; ++tx) {
      const std::uint32_t p = px[std::size_t(ty * 8 + tx)];
      EXPECT_EQ(p, src.pixel(tx * 3 / 7, ty * 2 / f.h)) << tx << "," << ty;
    }
  EXPECT_EQ(px[7], 0xABCDEFu);  // right of the place: untouched
}

TEST(Viewport, ScaledDrawingMakesSquaresAndNeverWritesOutsideTheTarget) {
  Surface src(2, 2);
  src.setPixel(0, 0, 0x111111);
  src.setPixel(1, 0, 0x222222);
  src.setPixel(0, 1, 0x333333);
  src.setPixel(1, 1, 0x444444);
  // A 7 x 5 target with a guard column at the end of each row (pitch 8 pixels).
  std::vector<std::uint32_t> px(8 * 5, 0xABCDEF);
  PixelTarget t{px.data(), 8 * 4, 7, 5};
  Viewport v = fitViewport(7, 5, 2, 2);  // scale 2 at (1, 0)
  ASSERT_EQ(v.scale, 2);
  fillOutside(t, v, 0);
  drawScaled(src, v, t);
  const std::uint32_t expect[5][8] = {
      {0, 0x111111, 0x111111, 0x222222, 0x222222, 0, 0, 0xABCDEF},
      {0, 0x111111, 0x111111, 0x222222, 0x222222, 0, 0, 0xABCDEF},
      {0, 0x333333, 0x333333, 0x444444, 0x444444, 0, 0, 0xABCDEF},
      {0, 0x333333, 0x333333, 0x444444, 0x444444, 0, 0, 0xABCDEF},
      {0, 0, 0, 0, 0, 0, 0, 0xABCDEF},
  };
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(px[y * 8 + x], expect[y][x]) << x << "," << y;

  // Overhanging on every side: only the target's pixels are written.
  std::vector<std::uint32_t> tiny(3 * 2, 0);
  Surface big(10, 10, 0x555555);
  drawScaled(big, Viewport{3, -4, -5, 30, 30}, PixelTarget{tiny.data(), 3 * 4, 3, 2});
  for (std::uint32_t p : tiny) EXPECT_EQ(p, 0x555555u);

  // At scale 1 rows are copied: hanging off the left and the bottom, the guard column untouched.
  std::vector<std::uint32_t> one(5 * 3, 0xABCDEF);
  drawScaled(src, Viewport{1, -1, 1, 2, 2}, PixelTarget{one.data(), 5 * 4, 4, 3});
  const std::vector<std::uint32_t> expectOne{0xABCDEF, 0xABCDEF, 0xABCDEF, 0xABCDEF, 0xABCDEF,
                                             0x222222, 0xABCDEF, 0xABCDEF, 0xABCDEF, 0xABCDEF,
                                             0x444444, 0xABCDEF, 0xABCDEF, 0xABCDEF, 0xABCDEF};
  EXPECT_EQ(one, expectOne);
}

TEST(Viewport, DrawingOnlyTheChangedPartGivesTheWholeFrame) {
  Surface before(9, 7, 0x102030);
  EXPECT_EQ(changedRect(before, before), std::nullopt);
  EXPECT_EQ(changedRect(Surface(3, 3), before).value().w, 9);  // another size: all of it
  // Two changes far apart: one rectangle around both.
  Surface after = before;
  after.setPixel(2, 1, 0xFF0000);
  after.setPixel(6, 4, 0x00FF00);
  const Rect r = changedRect(before, after).value();
  EXPECT_EQ(r.x, 2);
  EXPECT_EQ(r.y, 1);
  EXPECT_EQ(r.w, 5);
  EXPECT_EQ(r.h, 4);
  // The same changes against a part of a larger frame are placed in the frame's pixels; a part
  // reaching outside the frame counts as changed whole.
  Surface frame(12, 9, 0x777777);
  frame.paint(after, 2, 1);
  EXPECT_EQ(changedRect(before, frame, Rect{2, 1, 9, 7}), (Rect{4, 2, 5, 4}));
  EXPECT_EQ(changedRect(before, frame, Rect{4, 3, 9, 7}), (Rect{4, 3, 9, 7}));
  // At scale 3 in a larger window, with a border: the old frame with the part drawn over it is
  // the new frame drawn whole, and nothing outside the part's square was written.
  const int w = 31, h = 24;
  const Viewport v = fitViewport(w, h, 9, 7);
  ASSERT_EQ(v.scale, 3);
  std::vector<std::uint32_t> whole(w * h, 0xABCDEF), partly(w * h, 0xABCDEF);
  PixelTarget all{whole.data(), w * 4, w, h}, part{partly.data(), w * 4, w, h};
  fillOutside(all, v, 0);
  drawScaled(after, v, all);
  fillOutside(part, v, 0);
  drawScaled(before, v, part);
  const Rect drawn = drawScaledPart(after, v, r, part);
  EXPECT_EQ(partly, whole);
  EXPECT_EQ(drawn.x, v.x + 2 * 3);
  EXPECT_EQ(drawn.y, v.y + 1 * 3);
  EXPECT_EQ(drawn.w, 5 * 3);
  EXPECT_EQ(drawn.h, 4 * 3);
  // A part hanging off a small target is clipped to it.
  std::vector<std::uint32_t> tiny(4 * 4, 0);
  const Rect clipped = drawScaledPart(after, Viewport{3, -6, 0, 27, 21}, Rect{0, 0, 9, 7}, PixelTarget{tiny.data(), 16, 4, 4});
  EXPECT_EQ(clipped.x, 0);
  EXPECT_EQ(clipped.w, 4);
  EXPECT_EQ(clipped.h, 4);
}

// At scale 2 and fitted at odd ratios, larger and smaller than the picture's own size: a frame
// drawn whole, then any part of the next frame drawn over it, gives the next frame drawn whole,
// and nothing is written outside the rectangle reported.
TEST(Viewport, ChangedPartsAtScaleTwoAndFittedGiveTheWholeFrame) {
  const int pw = 13, ph = 9;
  Surface before(pw, ph), after(pw, ph);
  for (int i = 0; i < pw * ph; ++i) {
    before.setPixel(i % pw, i / pw, Colour(i * 0x010203));
    after.setPixel(i % pw, i / pw, Colour(i * 0x030201 + 7));
  }
  const int w = 61, h = 37;
  const Viewport views[] = {fitViewport(w, h, pw, ph, 2), fitAnyViewport(w, h, pw, ph), fitAnyViewport(50, 33, pw, ph),
                            fitAnyViewport(17, 12, pw, ph)};
  ASSERT_EQ(views[0].scale, 2);
  ASSERT_TRUE(views[1].fitted());
  for (const Viewport& v : views)
    for (int x = 0; x < pw; x += 2)
      for (int y = 0; y < ph; y += 3)
        for (const Rect part : {Rect{x, y, 1, 1}, Rect{x, y, 5, 2}, Rect{x, y, pw, ph}}) {
          // The part of after that differs from before: the rest of after is before's.
          Surface next = before;
          next.paint(after, part.x, part.y, part.x, part.y, part.w, part.h);
          std::vector<std::uint32_t> whole(w * h, 0xABCDEF), partly(w * h, 0xABCDEF);
          drawScaled(next, v, {whole.data(), w * 4, w, h});
          drawScaled(before, v, {partly.data(), w * 4, w, h});
          const std::vector<std::uint32_t> old = partly;
          const Rect drawn = drawScaledPart(next, v, part, {partly.data(), w * 4, w, h});
          ASSERT_EQ(partly, whole) << v.w << "x" << v.h << " part " << x << "," << y << " " << part.w;
          for (int ty = 0; ty < h; ++ty)
            for (int tx = 0; tx < w; ++tx)
              if (!drawn.contains(tx, ty)) {
                ASSERT_EQ(partly[ty * w + tx], old[ty * w + tx]) << tx << "," << ty;
              }
        }
}

TEST(MessageBox, TextBreaksAtEveryWindowsLineEnd) {
  using V = std::vector<std::u32string>;
  EXPECT_EQ(boxLines(U"命令無し( 57)\rFOO"), (V{U"命令無し( 57)", U"FOO"}));
  EXPECT_EQ(boxLines(U"A\r\nB\nC\r"), (V{U"A", U"B", U"C", U""}));
  EXPECT_EQ(boxLines(U"(0)\r"), (V{U"(0)", U""}));
  auto width = [](std::u32string_view s) { return int(s.size()) * 10; };
  EXPECT_EQ(wrapLine(U"abcdefg", 30, width), (V{U"abc", U"def", U"g"}));
  EXPECT_EQ(wrapLine(U"", 30, width), (V{U""}));
  EXPECT_EQ(wrapLine(U"ab", 5, width), (V{U"a", U"b"}));  // a piece holds at least one character
  // Japanese breaks anywhere; words and paths only at a space or after a separator.
  EXPECT_EQ(wrapLine(U"セーブできません", 30, width), (V{U"セーブ", U"できま", U"せん"}));
  EXPECT_EQ(wrapLine(U"no such file", 80, width), (V{U"no such", U"file"}));
  EXPECT_EQ(wrapLine(U"/home/me/data/VUNT.DAT", 100, width), (V{U"/home/me/", U"data/", U"VUNT.DAT"}));
  EXPECT_EQ(wrapLine(U"場所：/a/bcdef", 70, width), (V{U"場所：/a/", U"bcdef"}));
  EXPECT_EQ(boxIconFor(16), BoxIcon::Stop);
  EXPECT_EQ(boxIconFor(48), BoxIcon::Warning);
  EXPECT_EQ(boxIconFor(0), BoxIcon::None);
}

TEST(MessageBox, LayoutKeepsTheTextAndStaysInsideTheGame) {
  const Font& font = boxFont();
  BoxLayout l = layoutBox(U"命令無し( 57)\rFOO", U"Zad ERROR", BoxIcon::Stop, 440, 384, font);
  EXPECT_EQ(l.lines, (std::vector<std::u32string>{U"命令無し( 57)", U"FOO"}));
  EXPECT_EQ(l.icon.w, 32);
  auto inside = [](Rect outer, Rect r) {
    return r.x >= outer.x && r.y >= outer.y && r.x + r.w <= outer.x + outer.w && r.y + r.h <= outer.y + outer.h;
  };
  EXPECT_TRUE(inside({0, 0, 440, 384}, l.box));
  EXPECT_TRUE(inside(l.box, l.button));
  EXPECT_TRUE(inside(l.box, l.text));
  EXPECT_LE(l.icon.x + l.icon.w, l.text.x);
  EXPECT_LE(l.text.y + l.text.h, l.button.y);

  // A long line wraps without losing a character; far too much text is cut with "…" so the box
  // still fits the game.
  std::u32string line(100, U'あ');
  BoxLayout wrapped = layoutBox(line, U"Vunt", BoxIcon::Warning, 440, 384, font);
  std::u32string joined;
  for (const auto& piece : wrapped.lines) joined += piece;
  EXPECT_EQ(joined, line);
  EXPECT_GT(wrapped.lines.size(), 3u);
  EXPECT_TRUE(inside({0, 0, 440, 384}, wrapped.box));
  BoxLayout cut = layoutBox(std::u32string(5000, U'あ'), U"Vunt", BoxIcon::Warning, 440, 384, font);
  EXPECT_TRUE(inside({0, 0, 440, 384}, cut.box));
  EXPECT_EQ(cut.lines.back().back(), U'…');

  Surface frame(440, 384, rgb(64, 64, 64));
  drawBox(frame, l, U"Zad ERROR", BoxIcon::Stop, false, font);
  EXPECT_EQ(frame.pixel(l.icon.x + 16 - 12, l.icon.y + 16), rgb(224, 32, 32));  // the red of the stop sign
  EXPECT_EQ(frame.pixel(0, 0), rgb(64, 64, 64));                                 // the game around it
}

TEST(GameFolder, MissingScriptNamesTheFolderLookedIn) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("vunt-folder-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::create_directories(dir);
  std::string message = missingGameMessage(dir);
  EXPECT_NE(message.find(dir.string()), std::string::npos) << message;
  // With no folder named, every place looked in is named, and how to name one.
  const fs::path installed = dir / "share" / "vunt" / "game";
  const std::string none = noGameMessage({dir, installed});
  EXPECT_NE(none.find(dir.string() + " "), std::string::npos) << none;
  EXPECT_NE(none.find(installed.string()), std::string::npos) << none;
  EXPECT_NE(none.find("vunt GAME_DIR"), std::string::npos) << none;
  std::ofstream(dir / "VUNT-N.ZAD") << "EOF\r\n";  // any letter case is the script
  EXPECT_EQ(missingGameMessage(dir), "");
  // The script named instead of its folder: said so, with the folder to name.
  EXPECT_EQ(notAFolderMessage(dir), "");
  const std::string file = notAFolderMessage(dir / "VUNT-N.ZAD");
  EXPECT_NE(file.find("is a file, not a game folder"), std::string::npos) << file;
  EXPECT_NE(file.find("vunt " + dir.string()), std::string::npos) << file;
  EXPECT_NE(notAFolderMessage(dir / "nothing").find("does not exist"), std::string::npos);
  fs::remove_all(dir);
}
