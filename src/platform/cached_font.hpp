#pragma once
// A font whose texts are laid out and rendered by a backend, and kept. Laying out and rendering
// cost far more than copying the result, and a game draws the same few characters and captions
// again and again: each text is rendered once per colour and measured once. The caches are
// emptied when they grow past a bound, so a long game cannot make them grow forever.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/font.hpp"
#include "platform/text_blend.hpp"

namespace vunt {

class CachedFont : public Font {
 public:
  int width(std::u32string_view text) const override;
  int draw(Surface& target, int x, int y, std::u32string_view text, Colour colour) const override;
  // The rendered text's own rectangle: draw() copies it and nothing else.
  Rect drawnArea(int x, int y, std::u32string_view text, Colour colour) const override;

 protected:
  // The text's advance in pixels (0 when it cannot be laid out).
  virtual int measure(std::u32string_view text) const = 0;
  // The text in one colour, w x h ARGB pixels row by row (the alpha its coverage); false when
  // there is nothing to draw or it cannot be rendered.
  virtual bool render(std::u32string_view text, Colour colour, std::vector<std::uint32_t>& argb, int& w,
                      int& h) const = 0;

 private:
  static constexpr std::size_t kCacheLimit = 4096;
  struct Rendered {
    BlendedText text;
    int advance = 0;
  };
  const Rendered* rendered(std::u32string_view text, Colour colour) const;

  mutable std::map<Colour, std::map<std::u32string, Rendered, std::less<>>> rendered_;  // by colour, then text
  mutable std::size_t renderedCount_ = 0;
  // A message looks up one character at a time: single characters found lately, by their low
  // bits, go without a search of the maps.
  struct Recent {
    char32_t c = 0;
    Colour colour = 0;
    const Rendered* text = nullptr;
  };
  mutable std::array<Recent, 256> recent_{};
  mutable std::map<std::u32string, int, std::less<>> widths_;
};

}  // namespace vunt
