// Fonts through SDL2_ttf: the IPA fonts stand in for the Windows faces, found through fontconfig
// (in a browser, in the page's own data).
#include "platform/sdl_media.hpp"

#include <SDL_ttf.h>
#ifdef __EMSCRIPTEN__
#include <unistd.h>

#include <cstdlib>
#else
#include <fontconfig/fontconfig.h>
#endif

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/text_blend.hpp"
#include "text/text.hpp"

namespace vunt {

namespace {

// The IPA family that stands in for a Windows face name, and the Debian package that holds it.
std::string ipaFamilyFor(std::u32string_view name) {
  if (name.find(U"明朝") != std::u32string_view::npos) return "IPAMincho";
  if (name.find(U"Ｐ") != std::u32string_view::npos) return "IPAPGothic";
  return "IPAGothic";
}

std::string ipaPackageFor(const std::string& family) {
  return family.find("Mincho") != std::string::npos ? "fonts-ipafont-mincho" : "fonts-ipafont-gothic";
}

// Where Debian's packages install a family. Tried before fontconfig, whose configuration files
// take longer to read than the rest of the start-up; the font is used only when it names itself
// as the family asked for, so anything else there still goes through fontconfig.
const char* packagedFontFile(const std::string& family) {
  if (family == "IPAGothic") return "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  if (family == "IPAPGothic") return "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf";
  if (family == "IPAMincho") return "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf";
  return nullptr;
}

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

#ifdef __EMSCRIPTEN__
// There is no fontconfig in a browser: the page's data brings the font files to /fonts under the
// names Debian's IPA packages give them. Under Node the build reads the real file system, so
// VUNT_FONT_DIR or Debian's own folders serve.
std::string fontFile(const std::string& family) {
  const char* file = family == "IPAMincho" ? "ipam.ttf" : family == "IPAPGothic" ? "ipagp.ttf" : "ipag.ttf";
  std::vector<std::string> dirs;
  if (const char* dir = std::getenv("VUNT_FONT_DIR")) dirs.push_back(dir);
  for (const char* dir : {"/fonts", "/usr/share/fonts/opentype/ipafont-gothic", "/usr/share/fonts/opentype/ipafont-mincho"})
    dirs.push_back(dir);
  for (const std::string& dir : dirs) {
    std::string path = dir + "/" + file;
    if (::access(path.c_str(), R_OK) == 0) return path;
  }
  return {};
}
#else
// The file of an installed family, found through fontconfig; empty when it is not installed.
std::string fontFile(const std::string& family) {
  static bool ready = FcInit();
  if (!ready) return {};
  std::string result;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>((family + ":lang=ja").c_str()));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult res;
  FcPattern* match = FcFontMatch(nullptr, pattern, &res);
  if (match) {
    FcChar8* found = nullptr;
    FcChar8* file = nullptr;
    // fontconfig always returns some font; accept it only when it is the family asked for.
    if (FcPatternGetString(match, FC_FAMILY, 0, &found) == FcResultMatch &&
        FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        family == reinterpret_cast<const char*>(found))
      result = reinterpret_cast<const char*>(file);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return result;
}
#endif

// A text as SDL2_ttf renders it in one colour, and its advance.
struct RenderedText {
  BlendedText text;
  int advance = 0;
};

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

class TtfFont : public Font {
 public:
  TtfFont(SharedTtf& shared, int pixels, int style) : shared_(shared), pixels_(pixels), style_(style) {}
  int height() const override;
  int width(std::u32string_view text) const override;
  int draw(Surface& target, int x, int y, std::u32string_view text, Colour colour) const override;
  Rect drawnArea(int x, int y, std::u32string_view text, Colour colour) const override;

 private:
  // Shaping and rendering cost far more than copying the result, and a game draws the same few
  // characters and captions again and again: each text is rendered once per colour and kept. The
  // caches are emptied when they grow past a bound, so a long game cannot make them grow forever.
  static constexpr std::size_t kCacheLimit = 4096;
  const RenderedText* rendered(std::u32string_view text, Colour colour) const;
  int measure(std::u32string_view text) const;
  // The shared font, set to this size and style.
  TTF_Font* font() const;

  SharedTtf& shared_;
  int pixels_, style_;
  mutable std::map<Colour, std::map<std::u32string, RenderedText, std::less<>>> rendered_;  // by colour, then text
  mutable std::size_t renderedCount_ = 0;
  // A message looks up one character at a time: single characters found lately, by their low
  // bits, go without a search of the maps.
  struct Recent {
    char32_t c = 0;
    Colour colour = 0;
    const RenderedText* text = nullptr;
  };
  mutable std::array<Recent, 256> recent_{};
  mutable std::map<std::u32string, int, std::less<>> widths_;
};

class TtfBackend : public FontBackend {
 public:
  Font& get(const FontSpec& face) override;

 private:
  SharedTtf& open(const std::string& family, int pixels);

  std::map<std::string, std::unique_ptr<SharedTtf>> files_;  // by family
  std::map<std::tuple<std::string, int, bool, bool>, std::unique_ptr<TtfFont>> cache_;
  // The face asked for last and its font: a message asks for the same face at every character.
  FontSpec lastFace_;
  TtfFont* lastFont_ = nullptr;
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
  if (lastFont_ && face == lastFace_) return *lastFont_;
  if (!TTF_WasInit() && TTF_Init() != 0) throw FontError(std::string("cannot start SDL2_ttf: ") + TTF_GetError());
  std::string family = ipaFamilyFor(face.name);
  // Points at 96 dpi, rounded to whole pixels: 10 points give 13 pixels.
  int pixels = std::max(1, int(std::lround(face.points * 96.0 / 72.0)));
  auto key = std::make_tuple(family, pixels, face.bold, face.underline);
  auto it = cache_.find(key);
  if (it == cache_.end()) {
    const int style = (face.bold ? TTF_STYLE_BOLD : 0) | (face.underline ? TTF_STYLE_UNDERLINE : 0);
    it = cache_.emplace(key, std::make_unique<TtfFont>(open(family, pixels), pixels, style)).first;
  }
  lastFace_ = face;
  lastFont_ = it->second.get();
  return *lastFont_;
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

int TtfFont::width(std::u32string_view text) const {
  if (text.empty()) return 0;
  auto it = widths_.find(text);
  if (it != widths_.end()) return it->second;
  if (widths_.size() >= kCacheLimit) widths_.clear();
  return widths_.emplace(std::u32string(text), measure(text)).first->second;
}

const RenderedText* TtfFont::rendered(std::u32string_view text, Colour colour) const {
  Recent* recent = text.size() == 1 ? &recent_[text[0] & 255] : nullptr;
  if (recent && recent->text && recent->c == text[0] && recent->colour == colour) return recent->text;
  auto& texts = rendered_[colour];
  auto it = texts.find(text);
  if (it != texts.end()) {
    if (recent) *recent = {text[0], colour, &it->second};
    return &it->second;
  }
  SDL_Color c{Uint8(colour >> 16), Uint8(colour >> 8), Uint8(colour), 255};
  SDL_Surface* s = TTF_RenderUTF8_Blended(font(), toUtf8(text).c_str(), c);
  if (!s) return nullptr;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(s);
  if (!argb) return nullptr;
  std::vector<std::uint32_t> pixels(std::size_t(argb->w) * std::size_t(argb->h));
  SDL_LockSurface(argb);
  for (int yy = 0; yy < argb->h; ++yy) {
    const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(argb->pixels) + yy * argb->pitch);
    std::copy(row, row + argb->w, pixels.begin() + std::ptrdiff_t(yy) * argb->w);
  }
  SDL_UnlockSurface(argb);
  RenderedText r{BlendedText(std::move(pixels), argb->w, argb->h), 0};
  SDL_FreeSurface(argb);
  const int adv = width(text);
  r.advance = adv > 0 ? adv : r.text.width();
  if (renderedCount_ >= kCacheLimit) {
    for (auto& [c, t] : rendered_) t.clear();
    recent_.fill({});
    renderedCount_ = 0;
  }
  ++renderedCount_;
  return &texts.emplace(std::u32string(text), std::move(r)).first->second;
}

// The rendered text's own rectangle: draw() copies it and nothing else.
Rect TtfFont::drawnArea(int x, int y, std::u32string_view text, Colour colour) const {
  const RenderedText* r = text.empty() ? nullptr : rendered(text, colour);
  return r ? Rect{x, y, r->text.width(), r->text.height()} : Rect{};
}

int TtfFont::draw(Surface& target, int x, int y, std::u32string_view text, Colour colour) const {
  if (text.empty()) return 0;
  const RenderedText* r = rendered(text, colour);
  if (!r) return 0;
  r->text.draw(target, x, y);
  return r->advance;
}

}  // namespace

FontBackend& sdlFontBackend() {
  static TtfBackend backend;
  return backend;
}

}  // namespace vunt
