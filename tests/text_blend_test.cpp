// Text blending: the packed blend is the per-channel rounded division for every value, and a
// rendered text drawn any number of times, anywhere, over any background, gives the pixels of a
// plain blend of every one of its pixels.
#include <gtest/gtest.h>

#include <random>

#include "platform/text_blend.hpp"

using namespace vunt;

namespace {

// The blend as the definition says, channel by channel.
Colour reference(std::uint32_t argb, Colour under) {
  const unsigned a = argb >> 24;
  Colour out = 0;
  for (int shift : {0, 8, 16}) {
    const unsigned s = (argb >> shift) & 255, t = (under >> shift) & 255;
    out |= Colour((s * a + t * (255 - a) + 127) / 255) << shift;
  }
  return out;
}

// Draws text pixel by pixel with the reference blend, clipped.
void drawReference(Surface& target, int x, int y, const std::vector<std::uint32_t>& argb, int w, int h) {
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx)
      if (x + xx >= 0 && x + xx < target.width() && y + yy >= 0 && y + yy < target.height())
        target.setPixel(x + xx, y + yy, reference(argb[std::size_t(yy * w + xx)], target.pixel(x + xx, y + yy)));
}

}  // namespace

TEST(TextBlend, EveryAlphaOverEveryChannelValueIsTheRoundedDivision) {
  // Each channel meets every (alpha, source, destination) once; the channels get different values
  // so that a carry from one lane into the next would show.
  for (unsigned a = 0; a < 256; ++a)
    for (unsigned s = 0; s < 256; ++s)
      for (unsigned t = 0; t < 256; ++t) {
        const std::uint32_t argb = a << 24 | s << 16 | (255 - s) << 8 | (s ^ 0x5A);
        const Colour under = t << 16 | (t ^ 0xA5) << 8 | (255 - t);
        const Colour got = blendOver(argb, under);
        if (got != reference(argb, under)) FAIL() << "alpha " << a << " source " << s << " under " << t;
      }
}

namespace {

// A text of w x h pixels: empty rows, rows covered in the middle, at both ends, and with gaps.
std::vector<std::uint32_t> sampleText(int w, int h, std::mt19937& random) {
  std::vector<std::uint32_t> argb(std::size_t(w * h), 0x00FF0000);
  for (int y = 1; y < h - 1; ++y)
    for (int x = (y == 2 ? 0 : 2); x < (y == 3 ? w : w - 2); ++x)
      if ((x + y) % 3 != 0) argb[std::size_t(y * w + x)] = std::uint32_t(random() % 256) << 24 | 0x3366CC;
  return argb;
}

}  // namespace

TEST(TextBlend, DrawingAgainAnywhereOverAnyBackgroundIsThePlainBlend) {
  std::mt19937 random(7);
  const Colour plainA = rgb(192, 255, 255), plainB = rgb(64, 64, 64);
  Surface picture(90, 70);
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 90; ++x) picture.setPixel(x, y, Colour(random()) & 0xFFFFFF);
  Surface halfPlain(90, 70, plainA);
  halfPlain.paint(picture, 10, 0, 0, 0, 80, 70);
  struct Case {
    const char* what;
    Surface background;
    int x, y;
  };
  // In this order the kept blend begins on one colour, stays over a picture, moves to a second
  // colour after two draws on it, and back; the positions cut the text at every edge.
  const std::vector<Case> cases{
      {"plain", Surface(90, 70, plainA), 3, 2},          {"plain again", Surface(90, 70, plainA), 5, 5},
      {"picture", picture, 4, 3},                        {"picture again", picture, 4, 3},
      {"second colour", Surface(90, 70, plainB), 0, 0},  {"second colour again", Surface(90, 70, plainB), 1, 1},
      {"first colour", Surface(90, 70, plainA), -4, -3}, {"cut right and below", Surface(90, 70, plainA), 84, 66},
      {"outside", Surface(90, 70, plainA), 95, 2},       {"outside above", Surface(90, 70, plainA), 2, -70},
      {"half plain", halfPlain, 6, 6},
  };
  // A character's size, and a caption too large to keep a second copy.
  for (const auto& [w, h] : {std::pair{9, 7}, std::pair{80, 60}}) {
    const std::vector<std::uint32_t> argb = sampleText(w, h, random);
    const BlendedText text(argb, w, h);
    for (const Case& c : cases) {
      Surface got = c.background, want = c.background;
      text.draw(got, c.x, c.y);
      drawReference(want, c.x, c.y, argb, w, h);
      EXPECT_TRUE(got == want) << c.what << ", " << w << " x " << h;
    }
  }
  // A text that covers nothing (spaces) leaves the target as it was.
  Surface blank(10, 10, plainA);
  BlendedText(std::vector<std::uint32_t>(20, 0x00000000), 5, 4).draw(blank, 2, 2);
  EXPECT_EQ(blank, Surface(10, 10, plainA));
}
