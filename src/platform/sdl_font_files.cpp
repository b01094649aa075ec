#include "platform/sdl_font_files.hpp"

#ifdef __EMSCRIPTEN__
#include <unistd.h>

#include <cstdlib>
#include <vector>
#else
#include <fontconfig/fontconfig.h>

#include <cstdio>

#include "platform/sdl_library.hpp"
#endif

#include <algorithm>
#include <cmath>

namespace vunt {

std::string ipaFamilyFor(std::u32string_view name) {
  if (name.find(U"明朝") != std::u32string_view::npos) return "IPAMincho";
  if (name.find(U"Ｐ") != std::u32string_view::npos) return "IPAPGothic";
  return "IPAGothic";
}

std::string ipaPackageFor(const std::string& family) {
  return family.find("Mincho") != std::string::npos ? "fonts-ipafont-mincho" : "fonts-ipafont-gothic";
}

const char* packagedFontFile(const std::string& family) {
  if (family == "IPAGothic") return "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  if (family == "IPAPGothic") return "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf";
  if (family == "IPAMincho") return "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf";
  return nullptr;
}

int fontPixels(double points) { return std::max(1, int(std::lround(points * 96.0 / 72.0))); }

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
namespace {

// fontconfig is opened the first time a font is not where Debian's packages put it, which is
// seldom: linked, it and its XML reader would be loaded at every start. Only its header's types
// are used here.
struct FontconfigCalls {
  decltype(&::FcInit) init = nullptr;
  decltype(&::FcNameParse) nameParse = nullptr;
  decltype(&::FcConfigSubstitute) configSubstitute = nullptr;
  decltype(&::FcDefaultSubstitute) defaultSubstitute = nullptr;
  decltype(&::FcFontMatch) fontMatch = nullptr;
  decltype(&::FcPatternGetString) patternGetString = nullptr;
  decltype(&::FcPatternDestroy) patternDestroy = nullptr;
};

// The calls with fontconfig started, or nullptr (said once on standard error).
const FontconfigCalls* fontconfig() {
  static const FontconfigCalls* ready = [] {
    static FontconfigCalls fc;
    static SharedLibrary library("libfontconfig.so.1");
    library.resolve(fc.init, "FcInit");
    library.resolve(fc.nameParse, "FcNameParse");
    library.resolve(fc.configSubstitute, "FcConfigSubstitute");
    library.resolve(fc.defaultSubstitute, "FcDefaultSubstitute");
    library.resolve(fc.fontMatch, "FcFontMatch");
    library.resolve(fc.patternGetString, "FcPatternGetString");
    library.resolve(fc.patternDestroy, "FcPatternDestroy");
    if (!library.ok()) {
      std::fprintf(stderr, "vunt: fonts cannot be looked up: fontconfig cannot be loaded (%s)\n", library.why().c_str());
      return static_cast<const FontconfigCalls*>(nullptr);
    }
    if (!fc.init()) {
      std::fprintf(stderr, "vunt: fonts cannot be looked up: fontconfig did not start\n");
      return static_cast<const FontconfigCalls*>(nullptr);
    }
    return static_cast<const FontconfigCalls*>(&fc);
  }();
  return ready;
}

}  // namespace

std::string fontFile(const std::string& family) {
  const FontconfigCalls* fc = fontconfig();
  if (!fc) return {};
  std::string result;
  FcPattern* pattern = fc->nameParse(reinterpret_cast<const FcChar8*>((family + ":lang=ja").c_str()));
  if (!pattern) return {};
  fc->configSubstitute(nullptr, pattern, FcMatchPattern);
  fc->defaultSubstitute(pattern);
  FcResult res;
  FcPattern* match = fc->fontMatch(nullptr, pattern, &res);
  if (match) {
    FcChar8* found = nullptr;
    FcChar8* file = nullptr;
    // fontconfig always returns some font; accept it only when it is the family asked for.
    if (fc->patternGetString(match, FC_FAMILY, 0, &found) == FcResultMatch &&
        fc->patternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        family == reinterpret_cast<const char*>(found))
      result = reinterpret_cast<const char*>(file);
    fc->patternDestroy(match);
  }
  fc->patternDestroy(pattern);
  return result;
}
#endif

}  // namespace vunt
