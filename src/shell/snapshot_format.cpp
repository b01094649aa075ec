#include "shell/snapshot_format.hpp"

#include <bit>
#include <cstring>

#include "text/text.hpp"

namespace vunt {

namespace {

constexpr std::string_view kMagic = "VUNTSNAP";
// Bounds on what a snapshot may hold, so that a damaged one cannot make the reader allocate
// without limit. Each is far above what a game produces.
constexpr std::uint32_t kMaxText = 1u << 20;
constexpr std::uint32_t kMaxControls = 64;
constexpr std::uint32_t kMaxMesSteps = 1u << 16;
constexpr std::uint32_t kMaxAnswers = 1u << 16;

std::uint64_t fnv1a(std::string_view bytes, std::uint64_t h = 1469598103934665603ull) {
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  return h;
}

class Writer {
 public:
  void u8(std::uint32_t v) { out_ += char(v & 0xFF); }
  void u16(std::uint32_t v) { u8(v), u8(v >> 8); }
  void u32(std::uint32_t v) { u16(v), u16(v >> 16); }
  void u64(std::uint64_t v) { u32(std::uint32_t(v)), u32(std::uint32_t(v >> 32)); }
  void i16(std::int16_t v) { u16(std::uint16_t(v)); }
  void flag(bool b) { u8(b ? 1 : 0); }
  // (memcpy, not std::bit_cast: emscripten's standard library lacks it.)
  void real(double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    u64(bits);
  }
  void text(std::u32string_view t) {
    std::string utf8 = toUtf8(t);
    u32(std::uint32_t(utf8.size()));
    out_ += utf8;
  }
  template <std::size_t N>
  void texts(const std::array<std::u32string, N>& a) {
    for (const auto& t : a) text(t);
  }
  template <std::size_t N>
  void numbers(const std::array<std::int16_t, N>& a) {
    for (std::int16_t v : a) i16(v);
  }
  std::string& bytes() { return out_; }

 private:
  std::string out_;
};

// Reads in order; the first fault sticks, and every later read gives zero.
class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}
  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  void fail(std::string why) {
    if (error_.empty()) error_ = std::move(why);
  }
  bool done() const { return pos_ == in_.size(); }

  std::uint32_t u8() {
    if (!ok()) return 0;
    if (pos_ >= in_.size()) {
      fail("it ends too early");
      return 0;
    }
    return static_cast<unsigned char>(in_[pos_++]);
  }
  std::uint32_t u16() { std::uint32_t lo = u8(); return lo | u8() << 8; }
  std::uint32_t u32() { std::uint32_t lo = u16(); return lo | u16() << 16; }
  std::uint64_t u64() { std::uint64_t lo = u32(); return lo | std::uint64_t(u32()) << 32; }
  std::int16_t i16() { return std::int16_t(std::uint16_t(u16())); }
  bool flag() {
    const std::uint32_t v = u8();
    if (v > 1) fail("a yes-or-no value is neither");
    return v == 1;
  }
  double real() {
    const std::uint64_t bits = u64();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  std::u32string text() {
    const std::uint32_t n = u32();
    if (!ok()) return {};
    if (n > kMaxText || n > in_.size() - pos_) {
      fail("a text runs past the end");
      return {};
    }
    std::string_view utf8 = in_.substr(pos_, n);
    pos_ += n;
    if (!isValidUtf8(utf8)) fail("a text is not UTF-8");
    return fromUtf8(utf8);
  }
  template <std::size_t N>
  void texts(std::array<std::u32string, N>& a) {
    for (auto& t : a) t = text();
  }
  template <std::size_t N>
  void numbers(std::array<std::int16_t, N>& a) {
    for (auto& v : a) v = i16();
  }
  std::uint32_t count(std::uint32_t max, const char* what) {
    const std::uint32_t n = u32();
    if (n > max) fail(std::string("too many ") + what);
    return ok() ? n : 0;
  }
  std::int16_t within(int low, int high, const char* what) {
    const std::int16_t v = i16();
    if (v < low || v > high) fail(std::string(what) + " out of range");
    return v;
  }

 private:
  std::string_view in_;
  std::size_t pos_ = 0;
  std::string error_;
};

void writeGrid(Writer& w, const Grid& g) {
  for (const auto& column : g) w.numbers(column);
}

void readGrid(Reader& r, Grid& g, int low, int high, const char* what) {
  for (auto& column : g)
    for (auto& v : column) {
      v = r.i16();
      if (v < low || v > high) r.fail(std::string(what) + " out of range");
    }
}

void writePayload(Writer& w, const GameSnapshot& s) {
  w.i16(s.reg.CurLine), w.i16(s.reg.MenuEndLine), w.i16(s.reg.FpEndLine), w.i16(s.reg.ReturnLine);
  w.numbers(s.flags);
  for (const auto& menu : s.menu.MenuItems) w.texts(menu);
  w.i16(s.menu.MenuChoice), w.i16(s.menu.MenuState);
  w.i16(s.message.ClickFlag);
  w.texts(s.message.SpeakerNames);
  w.i16(s.message.CharDelay), w.i16(s.message.TextColour);
  w.texts(s.items.ItemTexts), w.texts(s.items.ItcgTexts);

  const PuzzleBoard& b = s.puzzle.board;
  writeGrid(w, b.Board), writeGrid(w, b.Occupied);
  w.numbers(b.PieceX), w.numbers(b.PieceY), w.numbers(b.PieceKind);
  w.i16(b.PieceCount);
  w.i16(s.puzzle.Stage), w.i16(s.puzzle.LastStage), w.i16(s.puzzle.PuzzleActive), w.i16(s.puzzle.PuzzleLine);

  const WindowView& v = s.window;
  w.flag(v.timerEnabled);
  w.u32(std::uint32_t(v.controls.size()));
  for (const ControlView& c : v.controls) {
    w.text(c.caption), w.flag(c.visible), w.flag(c.enabled), w.u32(c.fore), w.real(c.fontSize);
  }
  w.u8(std::uint32_t(v.mousePointer)), w.u8(std::uint32_t(v.mouseIcon));
  w.text(v.scenePicture);
  w.flag(v.boardDrawn);
  w.u32(std::uint32_t(v.mes.size()));
  for (const MesStep& m : v.mes) {
    w.u8(m.kind);
    if (m.kind == MesStep::SetColour) w.u32(m.colour);
    if (m.kind == MesStep::Print) w.text(m.text);
  }
  w.texts(v.mesRows);
  w.u16(std::uint32_t(v.mesRow));
  w.text(v.loopSound);
  w.u32(std::uint32_t(v.loopFlags));

  w.u8(s.unit);
  w.i16(s.move);
  w.u32(std::uint32_t(s.answers.size()));
  for (const WaitAnswer& a : s.answers) w.u8(a.kind), w.i16(a.choice), w.i16(a.menuState);
  w.i16(s.waitMenuState);
  w.u8(s.waitMenuEnabled);
}

void readPayload(Reader& r, GameSnapshot& s) {
  s.reg.CurLine = r.within(0, kLastLine, "the current line");
  s.reg.MenuEndLine = r.i16(), s.reg.FpEndLine = r.i16(), s.reg.ReturnLine = r.i16();
  r.numbers(s.flags);
  for (auto& menu : s.menu.MenuItems) r.texts(menu);
  s.menu.MenuChoice = r.i16(), s.menu.MenuState = r.i16();
  s.message.ClickFlag = r.i16();
  r.texts(s.message.SpeakerNames);
  s.message.CharDelay = r.i16(), s.message.TextColour = r.i16();
  r.texts(s.items.ItemTexts), r.texts(s.items.ItcgTexts);

  PuzzleBoard& b = s.puzzle.board;
  readGrid(r, b.Board, 0, kLastCellCode, "a cell code");
  readGrid(r, b.Occupied, 0, kMaxPieces, "a piece number");
  r.numbers(b.PieceX), r.numbers(b.PieceY), r.numbers(b.PieceKind);
  b.PieceCount = r.within(0, kMaxPieces, "the number of pieces");
  for (int i = 1; i <= b.PieceCount && r.ok(); ++i) {
    const auto k = std::size_t(i);
    if (b.PieceX[k] < 0 || b.PieceX[k] >= kBoardSize || b.PieceY[k] < 0 || b.PieceY[k] >= kBoardSize)
      r.fail("a piece lies off the board");
    if (b.PieceKind[k] < kFirstPieceCode || b.PieceKind[k] > kLastPieceCode) r.fail("a piece is of no kind");
  }
  s.puzzle.Stage = r.i16(), s.puzzle.LastStage = r.i16();
  s.puzzle.PuzzleActive = r.within(0, 1, "the puzzle's state");
  s.puzzle.PuzzleLine = r.within(0, kLastLine, "the puzzle's line");

  WindowView& v = s.window;
  v.timerEnabled = r.flag();
  v.controls.resize(r.count(kMaxControls, "controls"));
  for (ControlView& c : v.controls) {
    c.caption = r.text(), c.visible = r.flag(), c.enabled = r.flag(), c.fore = r.u32(), c.fontSize = r.real();
    if (!(c.fontSize >= 0 && c.fontSize <= 1000)) r.fail("a font size out of range");
  }
  v.mousePointer = int(r.u8()), v.mouseIcon = int(r.u8());
  if (v.mousePointer != 0 && v.mousePointer != 99) r.fail("the pointer out of range");
  if (v.mouseIcon > 2) r.fail("the pointer image out of range");
  v.scenePicture = r.text();
  v.boardDrawn = r.flag();
  v.mes.resize(r.count(kMaxMesSteps, "message steps"));
  for (MesStep& m : v.mes) {
    const std::uint32_t kind = r.u8();
    if (kind > MesStep::NewLine) r.fail("a message step of no kind");
    m.kind = MesStep::Kind(kind);
    if (m.kind == MesStep::SetColour) m.colour = r.u32();
    if (m.kind == MesStep::Print) m.text = r.text();
  }
  r.texts(v.mesRows);
  v.mesRow = int(r.u16());
  v.loopSound = r.text();
  v.loopFlags = int(r.u32());

  const std::uint32_t unit = r.u8();
  if (unit > GameSnapshot::PuzzleMove) r.fail("the point of resumption is of no kind");
  s.unit = GameSnapshot::Unit(unit);
  s.move = r.i16();
  s.answers.resize(r.count(kMaxAnswers, "answers"));
  for (WaitAnswer& a : s.answers) {
    const std::uint32_t kind = r.u8();
    if (kind > WaitAnswer::PictureWindow) r.fail("an answer of no kind");
    a.kind = WaitAnswer::Kind(kind);
    a.choice = r.i16(), a.menuState = r.i16();
  }
  s.waitMenuState = r.within(-1, 2, "the menu's state");
  s.waitMenuEnabled = std::uint8_t(r.u8());
  if (s.waitMenuEnabled > 31) r.fail("the menu's labels out of range");
}

}  // namespace

std::uint64_t scriptHash(const ScriptStore& store) {
  std::uint64_t h = fnv1a("vunt script");
  for (const std::u32string& line : store.ScriptLines) {
    h = fnv1a(toUtf8(line), h);
    h = fnv1a(std::string_view("\n", 1), h);
  }
  return h;
}

std::string writeSnapshot(const GameSnapshot& snapshot) {
  Writer w;
  w.bytes() += kMagic;
  w.u16(kSnapshotVersion);
  w.u64(snapshot.scriptHash);
  writePayload(w, snapshot);
  w.u64(fnv1a(w.bytes()));
  return std::move(w.bytes());
}

std::string withCheckMadeRight(std::string_view bytes) {
  if (bytes.size() < 8) return std::string(bytes);
  Writer w;
  w.bytes() = bytes.substr(0, bytes.size() - 8);
  w.u64(fnv1a(w.bytes()));
  return std::move(w.bytes());
}

std::optional<GameSnapshot> readSnapshot(std::string_view bytes, std::string& error) {
  constexpr std::size_t kCheck = 8;
  if (bytes.size() < kMagic.size() + 2 + kCheck || bytes.substr(0, kMagic.size()) != kMagic) {
    error = "not a Vunt snapshot";
    return std::nullopt;
  }
  Reader tail(bytes.substr(bytes.size() - kCheck));
  const std::string_view body = bytes.substr(0, bytes.size() - kCheck);
  if (tail.u64() != fnv1a(body)) {
    error = "the snapshot is damaged (its check does not match)";
    return std::nullopt;
  }
  Reader r(body.substr(kMagic.size()));
  const std::uint32_t version = r.u16();
  if (version != kSnapshotVersion) {
    error = "the snapshot is of format version " + std::to_string(version) + ", this engine reads version " +
            std::to_string(kSnapshotVersion);
    return std::nullopt;
  }
  GameSnapshot s;
  s.scriptHash = r.u64();
  readPayload(r, s);
  if (r.ok() && !r.done()) r.fail("bytes follow its end");
  if (!r.ok()) {
    error = "the snapshot is damaged (" + r.error() + ")";
    return std::nullopt;
  }
  return s;
}

}  // namespace vunt
