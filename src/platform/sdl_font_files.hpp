#pragma once
// Where the fonts come from: the IPA family that stands in for each Windows face, and the file
// that holds it (Debian's packaged path, then fontconfig; in a browser, the page's own data).
// Shared by the FreeType backend and the SDL2_ttf one.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

#include "platform/font.hpp"

namespace vunt {

// The IPA family that stands in for a Windows face name, and the Debian package that holds it.
std::string ipaFamilyFor(std::u32string_view name);
std::string ipaPackageFor(const std::string& family);

// Where Debian's packages install a family, or nullptr. Tried before fontconfig, whose
// configuration files take longer to read than the rest of the start-up; the caller uses the font
// only when it names itself as the family asked for, so anything else there still goes through
// fontconfig.
const char* packagedFontFile(const std::string& family);

// The file of an installed family (fontconfig; in a browser, the page's data); empty when it is
// not installed.
std::string fontFile(const std::string& family);

// Pixels at 72 dots per inch for a size in points at 96: 10 points give 13 pixels.
int fontPixels(double points);

// A backend's fonts by IPA family, pixel size and style, each made once by make(family, pixels)
// at its first use. A message asks for the same face at every character: the face asked for last
// is found without a search.
template <class F>
class FontTable {
 public:
  template <class Make>
  F& get(const FontSpec& face, Make make) {
    if (last_ && face == lastFace_) return *last_;
    const std::string family = ipaFamilyFor(face.name);
    const int pixels = fontPixels(face.points);
    auto key = std::make_tuple(family, pixels, face.bold, face.underline);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) it = fonts_.emplace(key, make(family, pixels)).first;
    lastFace_ = face;
    last_ = it->second.get();
    return *last_;
  }

 private:
  std::map<std::tuple<std::string, int, bool, bool>, std::unique_ptr<F>> fonts_;
  FontSpec lastFace_;
  F* last_ = nullptr;
};

}  // namespace vunt
