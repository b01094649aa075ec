// The least a script line costs: the lines of a script file (UTF-8) decoded once into a command
// number with its fields cut and typed and its condition compiled, then run by a switch. Knows
// DO, GOTO, INC, IF, LET and MES. A message clears the message area (440 x 64) of a 440 x 384 frame and
// draws its characters onto it, one 13-pixel cell each, from glyphs rendered once with FONT
// (SDL2_ttf) and blended once over the cleared area's white: each row of a cell copies only its
// covered pixels, as the least a typed message must do. Prints the lines run per second of CPU
// time over about SECONDS of CPU time.
//   vunt_floor_interpreter SCRIPT [SECONDS (1)] [FONT]
#include <SDL_ttf.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

enum class Op { Do, Goto, Inc, If, Let, Mes };

struct Comparison {
  bool andWith = false, orWith = false;
  char op = '=';
  int flagA = -1, a = 0, flagB = -1, b = 0;
};

// A character as the font draws it, within its cell: its pixels blended over white, and in each
// row the first and one past the last pixel that it covers.
constexpr int kCell = 13;
struct Glyph {
  std::vector<std::uint32_t> pixels;  // kCell x kCell
  std::array<std::pair<int, int>, kCell> rows{};
};
std::map<char32_t, Glyph> glyphs;
TTF_Font* font = nullptr;

void renderGlyph(char32_t c) {
  if (!font || glyphs.count(c)) return;
  Glyph& g = glyphs[c];
  SDL_Surface* s = TTF_RenderGlyph32_Blended(font, Uint32(c), SDL_Color{0, 0, 0, 255});
  SDL_Surface* argb = s ? SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
  SDL_FreeSurface(s);
  if (!argb) return;
  g.pixels.assign(kCell * kCell, 0xFFFFFFu);
  for (int y = 0; y < argb->h && y < kCell; ++y) {
    int first = kCell, last = 0;
    for (int x = 0; x < argb->w && x < kCell; ++x) {
      const unsigned a = static_cast<const Uint32*>(argb->pixels)[y * argb->pitch / 4 + x] >> 24;
      g.pixels[std::size_t(y * kCell + x)] = (0xFFu * (255 - a) / 255) * 0x010101u;
      if (a) first = std::min(first, x), last = x + 1;
    }
    g.rows[std::size_t(y)] = first < last ? std::pair{first, last} : std::pair{0, 0};
  }
  SDL_FreeSurface(argb);
}

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Line {
  Op op = Op::Do;
  int a = 0, b = 0;
  bool wrap = false;
  std::vector<Comparison> condition;
  std::u32string text;
};

std::vector<std::string> split(const std::string& s) {
  std::vector<std::string> out(1);
  for (char c : s) {
    if (c == ',') out.emplace_back();
    else out.back() += c;
  }
  return out;
}

std::u32string utf32(const std::string& s) {
  std::u32string out;
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t v = n == 1 ? c : c & (0x3F >> (n - 1));
    for (int k = 1; k < n && i + std::size_t(k) < s.size(); ++k) v = (v << 6) | (s[i + std::size_t(k)] & 0x3F);
    out += v;
    i += std::size_t(n);
  }
  return out;
}

[[noreturn]] void fail(const std::string& line) {
  std::fprintf(stderr, "vunt_floor_interpreter: cannot run %s\n", line.c_str());
  std::exit(2);
}

std::vector<Comparison> compile(const std::string& e, const std::string& line) {
  std::vector<Comparison> out;
  Comparison c;
  int operands = 0;
  for (std::size_t i = 0; i < e.size();) {
    const char ch = e[i];
    if (ch == '&' || ch == '#') {
      c.andWith = ch == '&', c.orWith = ch == '#';
      ++i;
    } else if (std::string("=><^}{").find(ch) != std::string::npos) {
      c.op = ch;
      ++i;
    } else {
      const bool flag = ch == 'F';
      const int v = std::atoi(e.substr(i + (flag ? 1 : 0), 2).c_str());
      (operands == 0 ? c.flagA : c.flagB) = flag ? v : -1;
      (operands == 0 ? c.a : c.b) = v;
      i += flag ? 3 : 2;
      if (++operands == 2) {
        out.push_back(c);
        c = Comparison{c.andWith, c.orWith};
        operands = 0;
      }
    }
    if (i > e.size()) fail(line);
  }
  return out;
}

Line decode(const std::string& text) {
  const std::vector<std::string> f = split(text);
  Line l;
  auto number = [&](std::size_t k) { return k < f.size() ? std::atoi(f[k].c_str()) : (fail(text), 0); };
  if (f[0] == "DO") l.op = Op::Do;
  else if (f[0] == "GOTO") l.op = Op::Goto, l.a = number(1);
  else if (f[0] == "INC") l.op = Op::Inc, l.a = number(1), l.b = number(2), l.wrap = f.size() > 3 && f[3] == "L";
  else if (f[0] == "LET") l.op = Op::Let, l.a = number(1), l.b = number(2);
  else if (f[0] == "IF" && f.size() > 2) l.op = Op::If, l.condition = compile(f[1], text), l.a = number(2);
  else if (f[0] == "MES" && f.size() > 1) l.op = Op::Mes, l.text = utf32(f[1]);
  else fail(text);
  for (char32_t c : l.text) renderGlyph(c);
  return l;
}

bool holds(const std::vector<Comparison>& condition, const std::array<std::int16_t, 31>& flags) {
  bool result = false;
  for (const Comparison& c : condition) {
    const int a = c.flagA >= 0 ? flags[std::size_t(c.flagA)] : c.a, b = c.flagB >= 0 ? flags[std::size_t(c.flagB)] : c.b;
    bool r = false;
    switch (c.op) {
      case '=': r = a == b; break;
      case '>': r = a > b; break;
      case '<': r = a < b; break;
      case '^': r = a != b; break;
      case '}': r = a >= b; break;
      default: r = a <= b; break;
    }
    result = c.andWith ? result && r : c.orWith ? result || r : r;
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vunt_floor_interpreter SCRIPT [SECONDS]\n");
    return 2;
  }
  const double seconds = argc > 2 ? std::atof(argv[2]) : 1.0;
  if (argc > 3) {
    if (TTF_Init() != 0 || !(font = TTF_OpenFont(argv[3], 13))) {
      std::fprintf(stderr, "vunt_floor_interpreter: cannot open the font %s\n", argv[3]);
      return 1;
    }
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::vector<std::string> texts(1);  // line 0 is empty, as in the engine's store
  for (std::string s; std::getline(in, s);) {
    if (!s.empty() && s.back() == '\r') s.pop_back();
    texts.push_back(s);
  }
  if (texts.size() < 2) {
    std::fprintf(stderr, "vunt_floor_interpreter: no lines in %s\n", argv[1]);
    return 1;
  }
  std::vector<Line> lines;
  for (std::size_t i = 1; i < texts.size(); ++i) lines.push_back(decode(texts[i]));
  lines.insert(lines.begin(), Line{});

  std::array<std::int16_t, 31> flags{};
  std::vector<std::uint32_t> frame(440 * 384, 0xFFFFFF);
  std::size_t current = 1;
  constexpr int kAreaX = 0, kAreaY = 320, kAreaW = 440, kAreaH = 64, kColumns = 33, kRows = 4;
  std::uint64_t run = 0;
  const double start = cpuSeconds();
  double elapsed = 0;
  while (elapsed < seconds) {
    for (int n = 0; n < 1 << 20; ++n) {
      const Line& l = lines[current];
      std::size_t next = current + 1;
      switch (l.op) {
        case Op::Do: break;
        case Op::Goto: next = std::size_t(l.a); break;
        case Op::Inc: {
          std::int16_t& f = flags[std::size_t(l.a)];
          f = f < l.b ? std::int16_t(f + 1) : l.wrap ? std::int16_t(1) : f;
          break;
        }
        case Op::If:
          if (!holds(l.condition, flags)) next = std::size_t(l.a);
          break;
        case Op::Let: flags[std::size_t(l.a)] = std::int16_t(l.b); break;
        case Op::Mes: {
          auto clear = [&] {
            for (int y = kAreaY; y < kAreaY + kAreaH; ++y) std::fill_n(frame.begin() + y * 440 + kAreaX, kAreaW, 0xFFFFFFu);
          };
          clear();
          int cell = 5;  // the indent
          for (char32_t c : l.text) {
            if (cell % kColumns == 0) cell += 5;
            if (cell >= kColumns * kRows) clear(), cell = 5;  // a new page: the cells are white again
            const auto g = glyphs.find(c);
            if (g != glyphs.end()) {
              const Glyph& gl = g->second;
              std::uint32_t* at = frame.data() + (kAreaY + cell / kColumns * kCell) * 440 + kAreaX + cell % kColumns * kCell;
              for (std::size_t y = 0; y < gl.rows.size(); ++y) {
                const auto [first, last] = gl.rows[y];
                std::copy(gl.pixels.begin() + std::ptrdiff_t(y) * kCell + first, gl.pixels.begin() + std::ptrdiff_t(y) * kCell + last,
                          at + y * 440 + std::size_t(first));
              }
            }
            ++cell;
          }
          break;
        }
      }
      if (next >= lines.size()) next = 1;
      current = next;
    }
    run += 1 << 20;
    elapsed = cpuSeconds() - start;
  }
  volatile std::uint32_t sink = frame[kAreaY * 440 + 100] + std::uint32_t(flags[1]);
  (void)sink;
  std::printf("lines/s %.0f\n", double(run) / elapsed);
  return 0;
}
