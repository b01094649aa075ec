#pragma once
// Where the fonts come from: the IPA family that stands in for each Windows face, and the file
// that holds it (Debian's packaged path, then fontconfig; in a browser, the page's own data).
// Shared by the FreeType backend and the SDL2_ttf one.
#include <string>
#include <string_view>

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

}  // namespace vunt
