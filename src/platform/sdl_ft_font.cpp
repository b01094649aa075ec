// The desktop's fonts: the IPA fonts drawn through FreeType (sdl_ft_text.cpp), found at Debian's
// packaged paths or through fontconfig. One open face serves every size and style of its family.
#include <map>
#include <memory>
#include <string>

#include "platform/cached_font.hpp"
#include "platform/sdl_font_files.hpp"
#include "platform/sdl_ft_text.hpp"
#include "platform/sdl_media.hpp"

namespace vunt {

namespace {

class FtFont : public CachedFont {
 public:
  FtFont(FtFace& face, int pixels, bool bold, bool underline) : text_(face, pixels, bold, underline) {}
  int height() const override { return text_.height(); }

 private:
  int measure(std::u32string_view text) const override { return text_.width(text); }
  bool render(std::u32string_view text, Colour colour, std::vector<std::uint32_t>& argb, int& w, int& h) const override {
    return text_.render(text, colour, argb, w, h);
  }

  FtText text_;
};

class FtBackend : public FontBackend {
 public:
  Font& get(const FontSpec& face) override;

 private:
  FtFace& open(const std::string& family);

  std::map<std::string, std::unique_ptr<FtFace>> faces_;  // by family
  FontTable<FtFont> fonts_;
};

FtFace& FtBackend::open(const std::string& family) {
  auto it = faces_.find(family);
  if (it != faces_.end()) return *it->second;
  std::string why;
  std::unique_ptr<FtFace> face;
  if (const char* packaged = packagedFontFile(family)) {
    face = FtFace::open(packaged, why);
    if (face && face->family() != family) face.reset();
  }
  if (!face) {
    const std::string file = fontFile(family);
    if (file.empty()) throw FontError("font " + family + " not found; install the package " + ipaPackageFor(family));
    face = FtFace::open(file, why);
    if (!face) throw FontError("cannot open font " + file + ": " + why);
  }
  return *faces_.emplace(family, std::move(face)).first->second;
}

Font& FtBackend::get(const FontSpec& face) {
  return fonts_.get(face, [&](const std::string& family, int pixels) {
    return std::make_unique<FtFont>(open(family), pixels, face.bold, face.underline);
  });
}

}  // namespace

FontBackend& freetypeFontBackend() {
  static FtBackend backend;
  return backend;
}

}  // namespace vunt
