// The core tests' font: every character a filled box, half as wide as high for ASCII. Registered
// before main(), so the headless engine runs in a test program that links no font library.
#include <cmath>
#include <map>
#include <memory>
#include <tuple>

#include "platform/font.hpp"

namespace {

class BoxFont : public vunt::Font {
 public:
  explicit BoxFont(int pixels) : pixels_(pixels) {}
  int height() const override { return pixels_ + 2; }
  int width(std::u32string_view text) const override {
    int w = 0;
    for (char32_t c : text) w += c < 128 ? pixels_ / 2 : pixels_;
    return w;
  }
  int draw(vunt::Surface& target, int x, int y, std::u32string_view text, vunt::Colour colour) const override {
    int at = x;
    for (char32_t c : text) {
      const int w = c < 128 ? pixels_ / 2 : pixels_;
      if (c != U' ' && c != U'　') target.fillRect({at + 1, y + 1, w - 2, pixels_ - 2}, colour);
      at += w;
    }
    return at - x;
  }
  vunt::Rect drawnArea(int x, int y, std::u32string_view text, vunt::Colour) const override {
    return {x, y, width(text), pixels_};
  }

 private:
  int pixels_;
};

class BoxFonts : public vunt::FontBackend {
 public:
  vunt::Font& get(const vunt::FontSpec& face) override {
    const int pixels = std::max(2, int(std::lround(face.points * 96.0 / 72.0)));
    auto& font = fonts_[pixels];
    if (!font) font = std::make_unique<BoxFont>(pixels);
    return *font;
  }

 private:
  std::map<int, std::unique_ptr<BoxFont>> fonts_;
};

const bool registered = [] {
  static BoxFonts fonts;
  vunt::setFontBackend(&fonts);
  return true;
}();

}  // namespace
