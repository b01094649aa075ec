// The desktop's FreeType text draws exactly what SDL2_ttf drew (Debian 12's, with HarfBuzz): the
// same width, height and ARGB pixels for every character the game and the examples use, every
// code page 932 character, kana, full-width forms, pairs of printable ASCII (where kerning or a
// substitution would show) and the engine's own strings, at every face the engine asks for, in
// more than one colour.
#include <gtest/gtest.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/font.hpp"
#include "platform/sdl_font_files.hpp"
#include "platform/sdl_ft_text.hpp"
#include "platform/sdl_media.hpp"
#include "text/text.hpp"

using namespace vunt;
namespace fs = std::filesystem;

namespace {

struct Face {
  const char* family;
  int pixels;
  bool bold, underline;
};

// The faces the engine asks for (points at 96 dpi to pixels): the form's and the labels' 9-point
// Gothic, the message area's 9.75 and 10, the aids' 7.5, 9.75 and bold 12, the counters' 27.75,
// the failure caption's underlined 72, the menu labels' bold 9.75 Mincho and the panel's 9-point
// proportional Gothic; then the other styles at the message size.
const std::vector<Face> kFaces{
    {"IPAGothic", 12, false, false},  {"IPAGothic", 13, false, false}, {"IPAGothic", 10, false, false},
    {"IPAGothic", 16, true, false},   {"IPAGothic", 37, false, false}, {"IPAGothic", 96, false, true},
    {"IPAMincho", 13, true, false},   {"IPAPGothic", 12, false, false}, {"IPAGothic", 13, true, false},
    {"IPAGothic", 13, false, true},   {"IPAMincho", 13, false, false}, {"IPAPGothic", 13, true, true},
};

std::string name(const Face& f) {
  return std::string(f.family) + " " + std::to_string(f.pixels) + (f.bold ? " bold" : "") + (f.underline ? " underlined" : "");
}

// Both renderers of one face, opened once for the whole test program.
struct Pair {
  std::unique_ptr<FtText> ft;
  TTF_Font* ttf = nullptr;
};

Pair& fonts(const Face& f) {
  static std::map<std::string, std::unique_ptr<FtFace>> faces;
  static std::map<std::tuple<std::string, int, bool, bool>, Pair> pairs;
  Pair& p = pairs[{f.family, f.pixels, f.bold, f.underline}];
  if (p.ttf) return p;
  const char* file = packagedFontFile(f.family);
  auto& face = faces[f.family];
  std::string why;
  if (!face) face = FtFace::open(file, why);
  if (!face) throw FontError(why);
  p.ft = std::make_unique<FtText>(*face, f.pixels, f.bold, f.underline);
  if (!TTF_WasInit() && TTF_Init() != 0) throw FontError(TTF_GetError());
  p.ttf = TTF_OpenFontDPI(file, f.pixels, 72, 72);
  if (!p.ttf) throw FontError(TTF_GetError());
  TTF_SetFontHinting(p.ttf, TTF_HINTING_NORMAL);
  TTF_SetFontStyle(p.ttf, (f.bold ? TTF_STYLE_BOLD : 0) | (f.underline ? TTF_STYLE_UNDERLINE : 0));
  return p;
}

std::string hex(std::u32string_view text) {
  std::ostringstream s;
  for (char32_t c : text) s << " U+" << std::hex << std::uppercase << unsigned(c);
  return s.str();
}

// Empty when both draw the text alike; otherwise what differs first.
std::string difference(const Face& face, std::u32string_view text, Colour colour) {
  Pair& p = fonts(face);
  const std::string utf8 = toUtf8(text);
  int tw = 0, th = 0;
  TTF_SizeUTF8(p.ttf, utf8.c_str(), &tw, &th);
  if (tw != p.ft->width(text)) return "width " + std::to_string(p.ft->width(text)) + " against " + std::to_string(tw);
  if (TTF_FontHeight(p.ttf) != p.ft->height()) return "height";
  std::vector<std::uint32_t> argb;
  int w = 0, h = 0;
  const bool drawn = p.ft->render(text, colour, argb, w, h);
  SDL_Surface* s = TTF_RenderUTF8_Blended(p.ttf, utf8.c_str(), SDL_Color{Uint8(colour >> 16), Uint8(colour >> 8), Uint8(colour), 255});
  if (!s) return drawn ? "drawn where SDL2_ttf draws nothing" : "";
  SDL_Surface* c = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(s);
  std::string diff;
  if (!drawn) {
    diff = "nothing drawn";
  } else if (c->w != w || c->h != h) {
    diff = "size " + std::to_string(w) + "x" + std::to_string(h) + " against " + std::to_string(c->w) + "x" + std::to_string(c->h);
  } else {
    for (int y = 0; y < h && diff.empty(); ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const Uint8*>(c->pixels) + y * c->pitch);
      for (int x = 0; x < w && diff.empty(); ++x)
        if (row[x] != argb[std::size_t(y) * std::size_t(w) + std::size_t(x)])
          diff = "pixel " + std::to_string(x) + "," + std::to_string(y);
    }
  }
  SDL_FreeSurface(c);
  return diff;
}

// Compares every text at every face in each colour; reports the first few differences.
void expectSame(const std::vector<std::u32string>& texts, const std::vector<Colour>& colours) {
  for (const Face& face : kFaces) {
    int failures = 0;
    for (Colour colour : colours)
      for (const std::u32string& text : texts) {
        const std::string d = difference(face, text, colour);
        if (!d.empty() && ++failures <= 5) ADD_FAILURE() << name(face) << hex(text) << ": " << d;
      }
    EXPECT_EQ(failures, 0) << name(face);
  }
}

std::vector<std::u32string> singles(const std::set<char32_t>& chars) {
  std::vector<std::u32string> out;
  for (char32_t c : chars) out.push_back(std::u32string(1, c));
  return out;
}

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The scripts of the bundled game and of every example, decoded as the engine reads them.
std::vector<std::u32string> scripts() {
  std::vector<std::u32string> out{decodeScriptText(readFile(fs::path(VUNT_GAME_DIR) / "vunt-n.zad"))};
  for (const auto& dir : fs::directory_iterator(fs::path(VUNT_GAME_DIR) / ".." / "examples"))
    if (fs::exists(dir.path() / "vunt-n.zad")) out.push_back(decodeScriptText(readFile(dir.path() / "vunt-n.zad")));
  return out;
}

const std::vector<Colour> kColours{rgb(0, 0, 0), rgb(255, 255, 0), rgb(18, 52, 86)};

}  // namespace

TEST(FreeTypeText, EveryCharacterOfTheScriptsAndCommonRanges) {
  std::set<char32_t> chars;
  for (const std::u32string& script : scripts())
    for (char32_t c : script)
      if (c >= 0x20) chars.insert(c);
  ASSERT_GT(chars.size(), 300u);  // the bundled game's script was read
  auto range = [&](char32_t from, char32_t to) {
    for (char32_t c = from; c <= to; ++c) chars.insert(c);
  };
  range(0x20, 0x7E);      // printable ASCII
  range(0x3000, 0x303F);  // CJK punctuation: 、。「」『』【】〜
  range(0x3041, 0x309F);  // hiragana, with the voicing marks
  range(0x30A0, 0x30FF);  // katakana, ・ and ー
  range(0xFF01, 0xFF9F);  // full-width forms and half-width katakana
  range(0x2000, 0x203B);  // spaces, dashes, quotes, …, ※
  range(0x205F, 0x206F);  // a space and invisible ones
  range(0x2190, 0x2193);  // arrows
  range(0x25A0, 0x25CF);  // ■□▲△▼▽◆◇○◎●
  range(0x2600, 0x266F);  // ★☆♪
  chars.insert({0xA5, 0xAD, 0x200B, 0xFEFF, 0xFFFD, 0xE000});  // yen; ones that draw nothing; missing ones
  expectSame(singles(chars), kColours);
}

TEST(FreeTypeText, EveryCodePage932Character) {
  std::set<char32_t> chars;
  for (int lead = 0; lead < 256; ++lead) {
    const bool twoBytes = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    for (int trail = twoBytes ? 0x40 : 0; trail < (twoBytes ? 0xFD : 1); ++trail) {
      std::string bytes(1, char(lead));
      if (twoBytes) bytes += char(trail);
      for (char32_t c : fromCp932(bytes))
        if (c >= 0x20 && c != 0xFFFD && !(c >= 0xE000 && c < 0xF8FF)) chars.insert(c);
    }
  }
  ASSERT_GT(chars.size(), 7000u);
  expectSame(singles(chars), {rgb(0, 0, 0)});
}

TEST(FreeTypeText, EveryPairOfPrintableAscii) {
  // The IPA fonts have no kerning: a pair stands where its two characters' advances put it.
  std::vector<std::u32string> pairs;
  for (char32_t a = 0x20; a < 0x7F; ++a)
    for (char32_t b = 0x20; b < 0x7F; ++b) pairs.push_back({a, b});
  expectSame(pairs, {rgb(0, 0, 0)});
}

TEST(FreeTypeText, StringsOfTheScriptsAndTheEngine) {
  std::set<std::u32string> strings;
  // Every field of every script line: menu labels, captions, messages, file names.
  for (const std::u32string& script : scripts()) {
    std::u32string field;
    for (char32_t c : script + U"\n") {
      if (c == U'\n' || c == U'\r' || c == U',' || c == U'＊' || c == U'＠') {
        if (!field.empty() && field.size() <= 48) strings.insert(field);
        field.clear();
      } else {
        field += c;
      }
    }
  }
  // The engine's own texts: its captions, help pages and settings, as written in its sources.
  const std::regex literal(R"(U"((?:[^"\\]|\\.)*)\")");
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(VUNT_GAME_DIR) / ".." / "src")) {
    if (entry.path().extension() != ".cpp") continue;
    const std::string source = readFile(entry.path());
    for (std::sregex_iterator it(source.begin(), source.end(), literal), end; it != end; ++it) {
      const std::string s = (*it)[1];
      if (!s.empty() && s.find('\\') == std::string::npos) strings.insert(fromUtf8(s));
    }
  }
  for (const char* s : {"Vunt", "Zad ERROR", "OK", "ステージ", "チャンス", "失敗", "0", "12", "ABCxyz 0123", "A\u00ADB", "x\u200By"})
    strings.insert(fromUtf8(s));
  ASSERT_GT(strings.size(), 200u);
  expectSame({strings.begin(), strings.end()}, {rgb(0, 0, 0), rgb(255, 255, 0)});
}

TEST(FreeTypeText, EmptyAndCutTextsDrawNothingOrStopAtTheNul) {
  // SDL2_ttf drew no text of zero width and took a text as a C string.
  const Face face = kFaces[1];
  std::vector<std::uint32_t> argb;
  int w = 0, h = 0;
  EXPECT_FALSE(fonts(face).ft->render(U"", 0, argb, w, h));
  EXPECT_FALSE(fonts(face).ft->render(U"\u200B", 0, argb, w, h));
  EXPECT_EQ(fonts(face).ft->width(std::u32string(U"A\0B", 3)), fonts(face).ft->width(U"A"));
  EXPECT_EQ(difference(face, std::u32string(U"A\0B", 3), 0), "");
}

TEST(FreeTypeText, BackendsAgreeThroughTheFontInterface) {
  // The engine's fonts, found by face name, measure, bound and draw alike over a background.
  const std::vector<FontSpec> faces{{U"ＭＳ ゴシック", 9.75}, {U"ＭＳ 明朝", 9.75, true}, {U"ＭＳ Ｐゴシック", 9},
                                    {U"ＭＳ ゴシック", 72, false, true}, {U"ＭＳ ゴシック", 12, true}};
  for (const FontSpec& face : faces) {
    const Font& ft = freetypeFontBackend().get(face);
    const Font& ttf = ttfFontBackend().get(face);
    EXPECT_EQ(ft.height(), ttf.height());
    for (std::u32string text : {U"あ", U"＊はじめから", U"失敗", U"Wave 1/2", U"嵐の夜、小さな島の灯台で――"}) {
      EXPECT_EQ(ft.width(text), ttf.width(text));
      EXPECT_EQ(ft.drawnArea(3, 4, text, rgb(255, 0, 0)), ttf.drawnArea(3, 4, text, rgb(255, 0, 0)));
      Surface a(420, 130, rgb(192, 255, 255)), b(420, 130, rgb(192, 255, 255));
      EXPECT_EQ(ft.draw(a, 3, 4, text, rgb(255, 0, 0)), ttf.draw(b, 3, 4, text, rgb(255, 0, 0)));
      EXPECT_TRUE(std::equal(a.data(), a.data() + 420 * 130, b.data())) << hex(text);
    }
  }
}

TEST(FreeTypeText, FileThatCannotBeReadOrIsNoFontIsNamedWhy) {
  std::string why;
  EXPECT_EQ(FtFace::open("/nonexistent/vunt-font.ttf", why), nullptr);
  EXPECT_NE(why.find("No such file"), std::string::npos) << why;
  why.clear();
  EXPECT_EQ(FtFace::open(std::string(VUNT_GAME_DIR) + "/vunt-n.zad", why), nullptr);
  EXPECT_NE(why.find("FreeType error"), std::string::npos) << why;
  // A real font names its family, which the backend checks before using the packaged file.
  auto face = FtFace::open(packagedFontFile("IPAMincho"), why);
  ASSERT_NE(face, nullptr) << why;
  EXPECT_EQ(face->family(), "IPAMincho");
}
