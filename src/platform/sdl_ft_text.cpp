#include "platform/sdl_ft_text.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_SIZES_H

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/font.hpp"

namespace vunt {

namespace {

// 26.6 fixed point to whole pixels, rounded down and up.
int floor26(long v) { return int((v & -64) / 64); }
int ceil26(long v) { return floor26(v + 63); }

// The characters HarfBuzz draws as an invisible zero-width glyph (the font's space), whether or
// not the font maps them: Unicode's default-ignorable code points as HarfBuzz 6 lists them.
bool drawsNothing(char32_t c) {
  switch (c >> 8) {
    case 0x00: return c == 0x00AD;
    case 0x03: return c == 0x034F;
    case 0x06: return c == 0x061C;
    case 0x17: return c >= 0x17B4 && c <= 0x17B5;
    case 0x18: return c >= 0x180B && c <= 0x180E;
    case 0x20: return (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F);
    case 0xFE: return (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF;
    case 0xFF: return c >= 0xFFF0 && c <= 0xFFF8;
    default: return (c >= 0x1D173 && c <= 0x1D17A) || (c >= 0xE0000 && c <= 0xE0FFF);
  }
}

// The width HarfBuzz gives a space character the font lacks, drawn with the font's space: a
// fraction of the em, or the width of a figure or a full stop; 0 when it is no such space.
enum class SpaceWidth { None, Space, Em, Em2, Em3, Em4, Em5, Em6, Em16, Em4of18, Figure, Punctuation, Narrow };

SpaceWidth spaceWidth(char32_t c) {
  switch (c) {
    case 0x0020: case 0x00A0: return SpaceWidth::Space;
    case 0x2000: case 0x2002: return SpaceWidth::Em2;
    case 0x2001: case 0x2003: case 0x3000: return SpaceWidth::Em;
    case 0x2004: return SpaceWidth::Em3;
    case 0x2005: return SpaceWidth::Em4;
    case 0x2006: return SpaceWidth::Em6;
    case 0x2007: return SpaceWidth::Figure;
    case 0x2008: return SpaceWidth::Punctuation;
    case 0x2009: return SpaceWidth::Em5;
    case 0x200A: return SpaceWidth::Em16;
    case 0x202F: return SpaceWidth::Narrow;
    case 0x205F: return SpaceWidth::Em4of18;
    default: return SpaceWidth::None;
  }
}

// One FreeType library for every face, made at the first font and kept to the end.
FT_Library library(std::string& why) {
  static FT_Library lib = nullptr;
  static FT_Error error = FT_Init_FreeType(&lib);
  if (error) why = "cannot start FreeType (error " + std::to_string(error) + ")";
  return error ? nullptr : lib;
}

// The Unicode character map, preferring the full one, as SDL2_ttf chooses it.
void chooseCharmap(FT_Face face) {
  auto find = [&](auto wanted) -> FT_CharMap {
    for (int i = 0; i < face->num_charmaps; ++i)
      if (wanted(face->charmaps[i]->platform_id, face->charmaps[i]->encoding_id)) return face->charmaps[i];
    return nullptr;
  };
  FT_CharMap map = find([](int p, int e) { return p == 3 && e == 10; });
  if (!map)
    map = find([](int p, int e) { return (p == 3 && (e == 1 || e == 0)) || (p == 2 && e == 1) || p == 0; });
  if (map) FT_Set_Charmap(face, map);
}

// FreeType's reads of the font file: `count` bytes at `offset` (a count of 0 is a seek, which
// succeeds with 0 within the file).
unsigned long readFile(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count) {
  if (count == 0) return offset <= stream->size ? 0 : 1;
  const int fd = int(stream->descriptor.value);
  unsigned long done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd, buffer + done, count - done, off_t(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<unsigned long>(n);
  }
  return done;
}

}  // namespace

std::unique_ptr<FtFace> FtFace::open(const std::string& file, std::string& why) {
  FT_Library lib = library(why);
  if (!lib) return nullptr;
  std::unique_ptr<FtFace> f(new FtFace);
  // The file is read with one pread for each of FreeType's reads, rather than mapped into memory
  // as FreeType does with a path: every page of a mapping that FreeType touches (and the
  // neighbouring pages the kernel maps along) counts as the program's memory. Measured with
  // bench/floor.sh, the mapping held 0.8 MiB more in the first wait for the same CPU (the 200
  // reads cost as much as the page faults).
  f->fd_ = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (f->fd_ < 0 || ::fstat(f->fd_, &st) != 0) {
    why = std::strerror(errno);
    return nullptr;
  }
  f->stream_ = std::make_unique<FT_StreamRec>();
  f->stream_->size = static_cast<unsigned long>(st.st_size);
  f->stream_->descriptor.value = f->fd_;
  f->stream_->read = readFile;
  FT_Open_Args args{};
  args.flags = FT_OPEN_STREAM;
  args.stream = f->stream_.get();
  if (FT_Error error = FT_Open_Face(lib, &args, 0, &f->face_)) {
    f->face_ = nullptr;
    why = "FreeType error " + std::to_string(error);
    return nullptr;
  }
  if (!FT_IS_SCALABLE(f->face_)) {
    why = "not a scalable font";
    return nullptr;
  }
  chooseCharmap(f->face_);
  return f;
}

FtFace::~FtFace() {
  if (face_) FT_Done_Face(face_);
  if (fd_ >= 0) ::close(fd_);
}

std::string FtFace::family() const { return face_->family_name ? face_->family_name : ""; }

FtText::FtText(FtFace& face, int pixels, bool bold, bool underline) : face_(face), bold_(bold), underline_(underline) {
  FT_Face f = face.face();
  if (FT_New_Size(f, &size_) || FT_Activate_Size(size_) || FT_Set_Char_Size(f, 0, FT_F26Dot6(pixels) * 64, 72, 72))
    throw FontError("cannot set the font to " + std::to_string(pixels) + " pixels");
  const FT_Fixed scale = f->size->metrics.y_scale;
  ascent_ = ceil26(FT_MulFix(f->ascender, scale));
  height_ = ceil26(FT_MulFix(f->ascender - f->descender, scale));
  // The underline's rows below the ascent, at least one, as SDL2_ttf rounds them; the line makes
  // the font taller when it reaches below the descent.
  const int offset = floor26(FT_MulFix(f->underline_position, scale));
  underlineRows_ = std::max(1, floor26(FT_MulFix(f->underline_thickness, scale)));
  underlineTop_ = std::max(0, ascent_ - offset - 1);
  if (underline_) height_ = std::max(height_, underlineTop_ + underlineRows_);
  // Bold widens each glyph by a tenth of the size, in whole pixels; a face that is bold itself is
  // drawn as it is.
  if (f->style_flags & FT_STYLE_FLAG_BOLD) bold_ = false;
  overhang_ = bold_ ? int(f->size->metrics.y_ppem / 10) : 0;
  space_ = FT_Get_Char_Index(f, ' ');
  // HarfBuzz's em in 26.6, from FreeType's scale, rounded.
  em_ = long((std::uint64_t(f->size->metrics.x_scale) * f->units_per_EM + (1u << 15)) >> 16);
}

FtText::~FtText() {
  if (size_) FT_Done_Size(size_);
}

void FtText::activate() const { FT_Activate_Size(size_); }

const FtText::Glyph* FtText::glyph(unsigned index) const {
  auto it = glyphs_.find(index);
  if (it != glyphs_.end()) return &it->second;
  activate();
  FT_Face f = face_.face();
  Glyph g;
  // The advance as HarfBuzz's FreeType font reports it: FreeType's hinted advance in 16.16, to
  // 26.6 through a float.
  FT_Fixed advance = 0;
  if (FT_Get_Advance(f, index, FT_LOAD_DEFAULT, &advance)) advance = 0;
  g.advance = int(float(advance) + float(1 << 9)) >> 10;
  if (FT_Load_Glyph(f, index, FT_LOAD_DEFAULT)) return nullptr;
  FT_GlyphSlot slot = f->glyph;
  g.boxLeft = slot->bitmap_left, g.boxTop = slot->bitmap_top;
  g.boxWidth = int(slot->bitmap.width), g.boxRows = int(slot->bitmap.rows);
  if (g.boxLeft == 0 && g.boxTop == 0 && g.boxWidth == 0 && g.boxRows == 0) {
    // A glyph that draws nothing (a space) still has a box, from its metrics.
    const FT_Glyph_Metrics& m = slot->metrics;
    const int minx = floor26(m.horiBearingX), maxx = ceil26(m.horiBearingX + m.width);
    const int maxy = floor26(m.horiBearingY), miny = maxy - ceil26(m.height);
    g.boxLeft = minx, g.boxTop = maxy, g.boxRows = maxy - miny, g.boxWidth = maxx - minx;
  }
  g.boxWidth += overhang_;

  if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL)) return nullptr;
  const FT_Bitmap& b = slot->bitmap;
  g.left = slot->bitmap_left, g.top = slot->bitmap_top;
  g.width = int(b.width), g.rows = b.width == 0 ? 0 : int(b.rows);
  g.width += overhang_;
  g.coverage.assign(std::size_t(g.width) * std::size_t(g.rows), 0);
  for (int r = 0; r < g.rows; ++r) {
    const unsigned char* src = b.buffer + std::ptrdiff_t(r) * b.pitch;
    std::uint8_t* dst = g.coverage.data() + std::ptrdiff_t(r) * g.width;
    if (b.pixel_mode == FT_PIXEL_MODE_GRAY) {
      std::memcpy(dst, src, b.width);
    } else if (b.pixel_mode == FT_PIXEL_MODE_MONO) {
      for (unsigned k = 0; k < b.width; ++k) dst[k] = (src[k / 8] << (k % 8) & 0x80) ? 255 : 0;
    } else {
      return nullptr;  // the grey levels of embedded bitmaps: none in the fonts used
    }
    // Bold: each pass adds every pixel's left neighbour to it, saturating, right to left.
    for (int pass = 0; pass < overhang_; ++pass)
      for (int col = g.width - 1; col > 0; --col) dst[col] = std::uint8_t(std::min(255, dst[col] + dst[col - 1]));
  }
  return &glyphs_.emplace(index, std::move(g)).first->second;
}

long FtText::fallbackSpace(int kind) const {
  auto advanceOf = [&](char32_t c) -> long {
    const unsigned index = FT_Get_Char_Index(face_.face(), c);
    const Glyph* g = index ? glyph(index) : nullptr;
    return g ? g->advance : -2;
  };
  switch (SpaceWidth(kind)) {
    case SpaceWidth::Em: case SpaceWidth::Em2: case SpaceWidth::Em3: case SpaceWidth::Em4:
    case SpaceWidth::Em5: case SpaceWidth::Em6: case SpaceWidth::Em16: {
      static constexpr int kParts[] = {0, 0, 1, 2, 3, 4, 5, 6, 16};
      const int parts = kParts[int(kind)];
      return (em_ + parts / 2) / parts;
    }
    case SpaceWidth::Em4of18: return em_ * 4 / 18;
    case SpaceWidth::Figure:
      for (char32_t d = U'0'; d <= U'9'; ++d)
        if (FT_Get_Char_Index(face_.face(), d)) return advanceOf(d);
      return advanceOf(U' ');
    case SpaceWidth::Punctuation:
      return advanceOf(FT_Get_Char_Index(face_.face(), U'.') ? U'.' : FT_Get_Char_Index(face_.face(), U',') ? U',' : U' ');
    case SpaceWidth::Narrow: {
      const long space = advanceOf(U' ');
      return space < 0 ? space : space / 2;
    }
    default: return advanceOf(U' ');
  }
}

bool FtText::layout(std::u32string_view text, Layout& out) const {
  // The glyphs are kept until there are many; never emptied while a text holds some.
  if (glyphs_.size() + text.size() > kGlyphLimit) glyphs_.clear();
  FT_Face f = face_.face();
  long x = 0;
  int minx = 0, maxx = 0, miny = 0, maxy = height_;
  for (char32_t c : text) {
    if (c == 0) break;  // SDL2_ttf took the text as a C string
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    long advance = -1;  // the glyph's own
    unsigned index = FT_Get_Char_Index(f, c);
    if (drawsNothing(c)) {
      if (space_ == 0) continue;
      index = space_, advance = 0;
    } else if (index == 0 && space_ != 0 && spaceWidth(c) != SpaceWidth::None) {
      index = space_, advance = fallbackSpace(int(spaceWidth(c)));
      if (advance < 0) return false;
    } else if (index == 0 && c == 0x2011) {
      index = FT_Get_Char_Index(f, 0x2010);  // a non-breaking hyphen the font lacks: its hyphen
    }
    const Glyph* g = glyph(index);
    if (!g) return false;
    out.glyphs.push_back({g, x});
    x += advance >= 0 ? advance : g->advance;
    // The text's box holds every glyph's box and the pen's last position.
    const int left = floor26(out.glyphs.back().x) + g->boxLeft, top = ascent_ - g->boxTop;
    minx = std::min(minx, left), maxx = std::max(maxx, left + g->boxWidth);
    miny = std::min(miny, top), maxy = std::max(maxy, top + g->boxRows);
  }
  maxx = std::max(maxx, floor26(x));
  out.xStart = -minx, out.yStart = -miny;
  out.w = maxx - minx, out.h = maxy - miny;
  return true;
}

int FtText::width(std::u32string_view text) const {
  Layout l;
  return layout(text, l) ? l.w : 0;
}

bool FtText::render(std::u32string_view text, Colour colour, std::vector<std::uint32_t>& argb, int& w, int& h) const {
  Layout l;
  if (!layout(text, l) || l.w == 0) return false;
  w = l.w, h = l.h;
  const std::uint32_t rgb = colour & 0xFFFFFF;
  argb.assign(std::size_t(w) * std::size_t(h), rgb);
  // Where glyphs overlap, their coverages are joined bit by bit (SDL2_ttf ORs each into the alpha).
  for (const Placed& p : l.glyphs) {
    const Glyph& g = *p.glyph;
    const int x0 = l.xStart + floor26(p.x) + g.left, y0 = l.yStart + ascent_ - g.top;
    for (int r = 0; r < g.rows; ++r) {
      const int y = y0 + r;
      if (y < 0 || y >= h) continue;
      const std::uint8_t* src = g.coverage.data() + std::ptrdiff_t(r) * g.width;
      std::uint32_t* row = argb.data() + std::ptrdiff_t(y) * w;
      for (int k = std::max(0, -x0); k < g.width && x0 + k < w; ++k) row[x0 + k] |= std::uint32_t(src[k]) << 24;
    }
  }
  if (underline_) {
    const int top = l.yStart + underlineTop_, bottom = std::min(h, top + underlineRows_);
    for (int y = top; y < bottom; ++y) std::fill_n(argb.begin() + std::ptrdiff_t(y) * w, w, rgb | 0xFF000000u);
  }
  return true;
}

}  // namespace vunt
