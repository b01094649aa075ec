#pragma once
// Fonts of the Windows design, drawn with the IPA fonts through SDL2_ttf. Sizes are in points at
// 96 dots per inch, as on a standard Windows screen.
#include <memory>
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

// A font that cannot be found or opened; the message names the package to install.
struct FontError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Font {
 public:
  // The font for this face, opened once and kept for the life of the process. Throws FontError.
  static Font& get(const FontSpec& face);

  int height() const;                         // line height in pixels
  int width(std::u32string_view text) const;  // advance of the text in pixels
  // Draws text with its top-left corner at (x, y) in the colour, blended onto the surface;
  // returns the advance.
  int draw(Surface& target, int x, int y, std::u32string_view text, Colour colour) const;

  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

 private:
  Font() = default;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The IPA family that stands in for a Windows face name, and the Debian package that holds it.
std::string ipaFamilyFor(std::u32string_view windowsName);
std::string ipaPackageFor(const std::string& family);

}  // namespace vunt
