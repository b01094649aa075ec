#include "platform/sdl_font_files.hpp"

#ifdef __EMSCRIPTEN__
#include <unistd.h>

#include <cstdlib>
#include <vector>
#else
#include <fontconfig/fontconfig.h>
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

}  // namespace vunt
