// Fonts through SDL2_ttf, the browser build's fonts (emscripten's FreeType and HarfBuzz come with
// it). The desktop draws through FreeType itself (sdl_ft_font.cpp); its tests hold the two to the
// same pixels.
#include <SDL_ttf.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/cached_font.hpp"
#include "platform/sdl_font_files.hpp"
#include "platform/sdl_media.hpp"
#include "text/text.hpp"

namespace vunt {

namespace {

// The font in the packaged file of the family at this size, or nullptr.
TTF_Font* openPackagedFont(const std::string& family, int pixels) {
  const char* file = packagedFontFile(family);
  TTF_Font* f = file ? TTF_OpenFontDPI(file, pixels, 72, 72) : nullptr;
  if (!f) return nullptr;
  const char* name = TTF_FontFaceFamilyName(f);
  if (name && family == name) return f;
  TTF_CloseFont(f);
  return nullptr;
}

// One open font file, shared by every size and style the game asks of its family: each TTF_Font
// reads its own copy of the file's tables (a quarter of a MiB for the IPA fonts, and a third of a
// millisecond to open), while setting another size or style on an open one takes microseconds
// and draws the same pixels as a font opened at that size.
struct SharedTtf {
  explicit SharedTtf(TTF_Font* f) : font(f) {}
  ~SharedTtf() { TTF_CloseFont(font); }
  SharedTtf(const SharedTtf&) = delete;
  SharedTtf& operator=(const SharedTtf&) = delete;

  TTF_Font* font;
  int pixels = 0, style = 0;  // what the font is set to now
};

class TtfFont : public CachedFont {
 public:
  TtfFont(SharedTtf& shared, int pixels, int style) : shared_(shared), pixels_(pixels), style_(style) {}
  int height() const override;

 private:
  int measure(std::u32string_view text) const override;
  bool render(std::u32string_view text, Colour colour, std::vector<std::uint32_t>& argb, int& w, int& h) const override;
  // The shared font, set to this size and style.
  TTF_Font* font() const;

  SharedTtf& shared_;
  int pixels_, style_;
};

class TtfBackend : public FontBackend {
 public:
  Font& get(const FontSpec& face) override;

 private:
  SharedTtf& open(const std::string& family, int pixels);

  std::map<std::string, std::unique_ptr<SharedTtf>> files_;  // by family
  FontTable<TtfFont> fonts_;
};

SharedTtf& TtfBackend::open(const std::string& family, int pixels) {
  auto it = files_.find(family);
  if (it != files_.end()) return *it->second;
  TTF_Font* f = openPackagedFont(family, pixels);
  if (!f) {
    std::string file = fontFile(family);
    if (file.empty())
      throw FontError("font " + family + " not found; install the package " + ipaPackageFor(family));
    f = TTF_OpenFontDPI(file.c_str(), pixels, 72, 72);
    if (!f) throw FontError("cannot open font " + file + ": " + TTF_GetError());
  }
  TTF_SetFontHinting(f, TTF_HINTING_NORMAL);
  auto shared = std::make_unique<SharedTtf>(f);
  shared->pixels = pixels;
  return *files_.emplace(family, std::move(shared)).first->second;
}

Font& TtfBackend::get(const FontSpec& face) {
  return fonts_.get(face, [&](const std::string& family, int pixels) {
    if (!TTF_WasInit() && TTF_Init() != 0) throw FontError(std::string("cannot start SDL2_ttf: ") + TTF_GetError());
    const int style = (face.bold ? TTF_STYLE_BOLD : 0) | (face.underline ? TTF_STYLE_UNDERLINE : 0);
    return std::make_unique<TtfFont>(open(family, pixels), pixels, style);
  });
}

TTF_Font* TtfFont::font() const {
  // The size first: SDL2_ttf works out the height an underline needs from the size set.
  if (shared_.pixels != pixels_) {
    if (TTF_SetFontSizeDPI(shared_.font, pixels_, 72, 72) != 0)
      throw FontError("cannot set the font to " + std::to_string(pixels_) + " pixels: " + TTF_GetError());
    shared_.pixels = pixels_;
  }
  if (shared_.style != style_) {
    TTF_SetFontStyle(shared_.font, style_);
    shared_.style = style_;
  }
  return shared_.font;
}

int TtfFont::height() const { return TTF_FontHeight(font()); }

int TtfFont::measure(std::u32string_view text) const {
  int w = 0, h = 0;
  TTF_SizeUTF8(font(), toUtf8(text).c_str(), &w, &h);
  return w;
}

bool TtfFont::render(std::u32string_view text, Colour colour, std::vector<std::uint32_t>& argb, int& w,
                     int& h) const {
  SDL_Color c{Uint8(colour >> 16), Uint8(colour >> 8), Uint8(colour), 255};
  SDL_Surface* s = TTF_RenderUTF8_Blended(font(), toUtf8(text).c_str(), c);
  if (!s) return false;
  SDL_Surface* converted = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(s);
  if (!converted) return false;
  w = converted->w, h = converted->h;
  argb.resize(std::size_t(w) * std::size_t(h));
  SDL_LockSurface(converted);
  for (int yy = 0; yy < h; ++yy) {
    const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(converted->pixels) + yy * converted->pitch);
    std::copy(row, row + w, argb.begin() + std::ptrdiff_t(yy) * w);
  }
  SDL_UnlockSurface(converted);
  SDL_FreeSurface(converted);
  return true;
}

}  // namespace

FontBackend& ttfFontBackend() {
  static TtfBackend backend;
  return backend;
}

}  // namespace vunt
