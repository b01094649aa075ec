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

#include <cmath>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

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

class TtfFont : public Font {
 public:
  explicit TtfFont(TTF_Font* font) : font_(font) {}
  ~TtfFont() override { TTF_CloseFont(font_); }
  TtfFont(const TtfFont&) = delete;
  TtfFont& operator=(const TtfFont&) = delete;
  int height() const override;
  int width(std::u32string_view text) const override;
  int draw(Surface& target, int x, int y, std::u32string_view text, Colour colour) const override;

 private:
  TTF_Font* font_;
};

class TtfBackend : public FontBackend {
 public:
  Font& get(const FontSpec& face) override;

 private:
  std::map<std::tuple<std::string, int, bool, bool>, std::unique_ptr<TtfFont>> cache_;
};

Font& TtfBackend::get(const FontSpec& face) {
  if (!TTF_WasInit() && TTF_Init() != 0) throw FontError(std::string("cannot start SDL2_ttf: ") + TTF_GetError());
  std::string family = ipaFamilyFor(face.name);
  // Points at 96 dpi, rounded to whole pixels: 10 points give 13 pixels.
  int pixels = std::max(1, int(std::lround(face.points * 96.0 / 72.0)));
  auto key = std::make_tuple(family, pixels, face.bold, face.underline);
  auto it = cache_.find(key);
  if (it != cache_.end()) return *it->second;
  std::string file = fontFile(family);
  if (file.empty())
    throw FontError("font " + family + " not found; install the package " + ipaPackageFor(family));
  TTF_Font* f = TTF_OpenFontDPI(file.c_str(), pixels, 72, 72);
  if (!f) throw FontError("cannot open font " + file + ": " + TTF_GetError());
  TTF_SetFontStyle(f, (face.bold ? TTF_STYLE_BOLD : 0) | (face.underline ? TTF_STYLE_UNDERLINE : 0));
  TTF_SetFontHinting(f, TTF_HINTING_NORMAL);
  return *cache_.emplace(key, std::make_unique<TtfFont>(f)).first->second;
}

int TtfFont::height() const { return TTF_FontHeight(font_); }

int TtfFont::width(std::u32string_view text) const {
  if (text.empty()) return 0;
  int w = 0, h = 0;
  TTF_SizeUTF8(font_, toUtf8(text).c_str(), &w, &h);
  return w;
}

int TtfFont::draw(Surface& target, int x, int y, std::u32string_view text, Colour colour) const {
  if (text.empty()) return 0;
  SDL_Color c{Uint8(colour >> 16), Uint8(colour >> 8), Uint8(colour), 255};
  SDL_Surface* s = TTF_RenderUTF8_Blended(font_, toUtf8(text).c_str(), c);
  if (!s) return 0;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(s);
  if (!argb) return 0;
  SDL_LockSurface(argb);
  for (int yy = 0; yy < argb->h; ++yy) {
    const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(argb->pixels) + yy * argb->pitch);
    for (int xx = 0; xx < argb->w; ++xx) {
      Uint32 p = row[xx];
      unsigned a = p >> 24;
      if (a == 0) continue;
      int dx = x + xx, dy = y + yy;
      if (dx < 0 || dy < 0 || dx >= target.width() || dy >= target.height()) continue;
      Colour d = target.pixel(dx, dy);
      auto mix = [&](int shift) {
        unsigned s = (p >> shift) & 255, t = (d >> shift) & 255;
        return ((s * a + t * (255 - a) + 127) / 255) << shift;
      };
      target.setPixel(dx, dy, mix(16) | mix(8) | mix(0));
    }
  }
  int w = argb->w;
  SDL_UnlockSurface(argb);
  SDL_FreeSurface(argb);
  int adv = width(text);
  return adv > 0 ? adv : w;
}

}  // namespace

FontBackend& sdlFontBackend() {
  static TtfBackend backend;
  return backend;
}

}  // namespace vunt
