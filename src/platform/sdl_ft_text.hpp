#pragma once
// Text laid out and rendered through FreeType by the rules of SDL2_ttf 2.20 built with HarfBuzz
// (Debian 12's), so that the desktop draws the pixels it drew before without loading SDL2_ttf,
// HarfBuzz and GLib: advances are FreeType's hinted ones as HarfBuzz's FreeType font reports them,
// glyphs are FreeType's grey renderings at those positions, bold is SDL2_ttf's smear of each glyph
// to the right, and underline its full-width line. The IPA fonts have no GPOS or kern table and
// their only default substitution (ccmp) joins kana and Latin letters to combining marks and tone
// letters, which code page 932 cannot write. What HarfBuzz does with characters on its own is
// followed where it matters here: invisible ones take no room, and spaces and the non-breaking
// hyphen the font lacks borrow its space and hyphen. Text with combining marks, and characters
// the font lacks that HarfBuzz would decompose (accented Latin letters beyond the font's), are
// drawn glyph by glyph as the font maps them.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/surface.hpp"

struct FT_LibraryRec_;
struct FT_FaceRec_;
struct FT_SizeRec_;
struct FT_StreamRec_;

namespace vunt {

// One open font file, shared by every size and style of its family.
class FtFace {
 public:
  // Opens the file (nullptr and why when it cannot be).
  static std::unique_ptr<FtFace> open(const std::string& file, std::string& why);
  ~FtFace();
  FtFace(const FtFace&) = delete;
  FtFace& operator=(const FtFace&) = delete;

  std::string family() const;
  FT_FaceRec_* face() const { return face_; }

 private:
  FtFace() = default;
  int fd_ = -1;
  std::unique_ptr<FT_StreamRec_> stream_;
  FT_FaceRec_* face_ = nullptr;
};

// One size and style of a face.
class FtText {
 public:
  // Throws FontError when FreeType cannot set the size.
  FtText(FtFace& face, int pixels, bool bold, bool underline);
  ~FtText();
  FtText(const FtText&) = delete;
  FtText& operator=(const FtText&) = delete;

  int height() const { return height_; }
  // The width of the text's box (SDL2_ttf's TTF_SizeUTF8), 0 when a glyph cannot be loaded.
  int width(std::u32string_view text) const;
  // The text in the colour, as TTF_RenderUTF8_Blended draws it: w x h ARGB pixels, the colour in
  // every pixel and the coverage in its alpha. False for a text of no width.
  bool render(std::u32string_view text, Colour colour, std::vector<std::uint32_t>& argb, int& w, int& h) const;

 private:
  struct Glyph {
    int advance = 0;  // 26.6
    int boxLeft = 0, boxTop = 0, boxWidth = 0, boxRows = 0;  // the outline's box, for the text's box
    int left = 0, top = 0, width = 0, rows = 0;  // the rendered coverage
    std::vector<std::uint8_t> coverage;
  };
  struct Placed {
    const Glyph* glyph;
    long x;  // 26.6
  };
  struct Layout {
    std::vector<Placed> glyphs;
    int xStart = 0, yStart = 0, w = 0, h = 0;
  };
  const Glyph* glyph(unsigned index) const;
  // The advance of a space character the font lacks (a SpaceWidth), -2 when a glyph fails.
  long fallbackSpace(int kind) const;
  bool layout(std::u32string_view text, Layout& out) const;
  void activate() const;

  FtFace& face_;
  FT_SizeRec_* size_ = nullptr;
  bool bold_;
  bool underline_;
  int ascent_ = 0, height_ = 0, overhang_ = 0;
  int underlineTop_ = 0, underlineRows_ = 0;
  unsigned space_ = 0;  // the glyph that stands for characters that draw nothing
  long em_ = 0;         // 26.6
  static constexpr std::size_t kGlyphLimit = 8192;
  mutable std::map<unsigned, Glyph> glyphs_;
};

}  // namespace vunt
