#pragma once
// Rendered text blended onto a surface. A text is rendered once (ARGB pixels, the alpha its
// coverage) and drawn many times, nearly always over the same plain colour (a message area just
// cleared, a label's own background): it keeps its pixels blended over that colour too, and a
// destination pixel of that colour takes the kept result instead of a blend. Only the part of each
// row between its first and last covered pixel is touched.
#include <cstdint>
#include <vector>

#include "platform/surface.hpp"

namespace vunt {

// One source pixel (alpha in the top byte) over a destination pixel, each channel
// (s·a + d·(255 − a) + 127) / 255, rounded down: the nearest whole value. The three channels lie in
// 16-bit lanes of one 64-bit word, so two multiplications weigh them all; no lane can carry into
// the next (255·255 + 127 + 1 + 254 < 65,536). Alpha 0 leaves the destination, 255 gives the source.
constexpr Colour blendOver(std::uint32_t argb, Colour under) {
  const std::uint32_t a = argb >> 24;
  auto lanes = [](std::uint32_t c) {
    return std::uint64_t(c & 0xFF) | std::uint64_t(c & 0xFF00) << 8 | std::uint64_t(c & 0xFF0000) << 16;
  };
  constexpr std::uint64_t kLow = 0x00FF00FF00FF;
  const std::uint64_t v = lanes(argb) * a + lanes(under) * (255 - a) + 0x007F007F007F;
  const std::uint64_t q = (v + 0x000100010001 + (v >> 8 & kLow)) >> 8 & kLow;  // v / 255, exactly
  return Colour(q & 0xFF) | Colour(q >> 8 & 0xFF00) | Colour(q >> 16 & 0xFF0000);
}

class BlendedText {
 public:
  BlendedText() = default;
  // argb holds w x h pixels, row by row.
  BlendedText(std::vector<std::uint32_t> argb, int w, int h);

  int width() const { return w_; }
  int height() const { return h_; }
  // Blends the text onto target with its top left at (x, y), clipped to the target.
  void draw(Surface& target, int x, int y) const;

 private:
  struct Span {
    int first = 0, last = 0;  // the row's covered pixels all lie in [first, last)
  };
  void keepOver(Colour background) const;

  int w_ = 0, h_ = 0;
  std::vector<std::uint32_t> argb_;
  std::vector<Span> rows_;
  // The pixels blended over one colour: over the colour the first draw begins on, then over
  // another once two draws in a row begin on it (a text drawn over a picture does not build them
  // again at every draw). Only for texts of a character's or a short caption's size, so that a
  // large caption, mostly drawn over a picture, holds no second copy.
  static constexpr int kKeptPixels = 4096;
  mutable std::vector<Colour> over_;
  mutable Colour overColour_ = 0;
  mutable Colour lastStart_ = 0;
};

}  // namespace vunt
