#pragma once
// Fonts of the Windows design. Sizes are in points at 96 dots per inch, as on a standard Windows
// screen. The core measures and draws text only through this interface; the program that shows
// text registers a FontBackend (FreeType: src/platform/sdl_ft_font.cpp; SDL2_ttf in a browser:
// src/platform/sdl_ttf_font.cpp), so the engine's core, its tools and its logic tests link no
// font library.
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/surface.hpp"

namespace vunt {

struct FontSpec {
  std::u32string name = U"ＭＳ ゴシック";
  double points = 9;
  bool bold = false;
  bool underline = false;
  bool operator==(const FontSpec&) const = default;
};

// A font that cannot be found or opened (the message names the package to install), or no font
// backend in this program.
struct FontError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Font {
 public:
  // The font for this face from the registered backend, opened once and kept for the life of the
  // process. Throws FontError.
  static Font& get(const FontSpec& face);

  virtual ~Font() = default;
  virtual int height() const = 0;                         // line height in pixels
  virtual int width(std::u32string_view text) const = 0;  // advance of the text in pixels
  // Draws text with its top-left corner at (x, y) in the colour, blended onto the surface;
  // returns the advance.
  virtual int draw(Surface& target, int x, int y, std::u32string_view text, Colour colour) const = 0;
  // The pixels draw() would change, all of them inside (before clipping to the target). Unknown
  // to a font that does not say: everything right of and below (x, y).
  virtual Rect drawnArea(int x, int y, std::u32string_view text, Colour colour) const {
    (void)text, (void)colour;
    return {x, y, 1 << 24, 1 << 24};
  }
};

// Where fonts come from. A backend keeps the fonts it opens for the life of the process.
class FontBackend {
 public:
  virtual ~FontBackend() = default;
  virtual Font& get(const FontSpec& face) = 0;  // throws FontError
};

// Makes backend the source of every Font::get from now on (nullptr: none); the caller keeps it
// alive. Without one, Font::get throws FontError.
void setFontBackend(FontBackend* backend);

}  // namespace vunt
