// The puzzle on the headless host: BEED, the stage loader and the puzzle step, on random stage
// files and random keys, bounded in virtual time.
//
// Input: a byte for the first stage (1..3), one for the last (first - 3 .. first + 3), one for F20
// (-6..5), one for the number of keys n (0..63), n keys (arrows, keypad, Esc, Space, a click,
// another key; 0xFF closes the window), then the stage file's bytes.
//
// The script is LET F20, BEED, then LBHGV,0,F21 and EOF. Beyond the sanitizers: at every wait the
// board model is whole (pieces on the board, off the walls, one occupied cell each) and the timer
// is off while the puzzle runs; only stages first..last are loaded; a puzzle that ends returns to
// the script with F21 0 or 1, and F20 reset to 9 when the attempts ran out.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <sstream>
#include <string>

#include "fuzz/fuzz_support.hpp"
#include "platform/headless_host.hpp"
#include "puzzle/board.hpp"
#include "shell/vunt.hpp"

using namespace vunt;

namespace {

class CheckingHost : public HeadlessHost {
 public:
  using HeadlessHost::HeadlessHost;
  Vunt* game = nullptr;
  void doEvents(WaitKind kind, std::uint32_t maxMs) override {
    if (game && !game->Timer1Enabled) check(*game);
    HeadlessHost::doEvents(kind, maxMs);
  }

 private:
  static void check(const Vunt& game) {
    const PuzzleBoard& g = game.puzzle.board;
    VUNT_FUZZ_CHECK(game.puzzle.PuzzleActive == 0 || game.puzzle.PuzzleActive == 1, "PuzzleActive is 0 or 1");
    VUNT_FUZZ_CHECK(g.PieceCount >= 0 && g.PieceCount <= kMaxPieces, "at most 30 pieces");
    int occupied = 0;
    for (const auto& column : g.Occupied)
      for (std::int16_t cell : column) occupied += cell != 0;
    VUNT_FUZZ_CHECK(occupied == g.PieceCount, "one occupied cell per piece");
    for (int i = 1; i <= g.PieceCount; ++i) {
      const int x = g.PieceX[std::size_t(i)], y = g.PieceY[std::size_t(i)];
      VUNT_FUZZ_CHECK(x >= 0 && x < kBoardSize && y >= 0 && y < kBoardSize, "pieces stand on the board");
      VUNT_FUZZ_CHECK(g.Occupied[std::size_t(x)][std::size_t(y)] != 0, "a piece's cell is occupied");
      VUNT_FUZZ_CHECK(g.Board[std::size_t(x)][std::size_t(y)] < kFirstWallCode, "no piece on a wall");
    }
  }
};

const std::filesystem::path& gameDir() {
  static const std::filesystem::path dir = [] {
    std::filesystem::path d = fuzz::scratchDir() / "puzzle";
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

std::vector<InputEvent> keys(const std::uint8_t* data, std::size_t n) {
  static const InputEvent kKeys[] = {
      {InputEvent::Key, vk::Left},     {InputEvent::Key, vk::Up},       {InputEvent::Key, vk::Right},
      {InputEvent::Key, vk::Down},     {InputEvent::Key, vk::Numpad2},  {InputEvent::Key, vk::Numpad4},
      {InputEvent::Key, vk::Numpad6},  {InputEvent::Key, vk::Numpad8},  {InputEvent::Key, vk::Escape},
      {InputEvent::Key, vk::Space},    {InputEvent::Click},             {InputEvent::Key, 'A'},
  };
  std::vector<InputEvent> out;
  for (std::size_t i = 0; i < n; ++i)
    out.push_back(data[i] == 0xFF ? InputEvent{InputEvent::Close} : kKeys[data[i] % std::size(kKeys)]);
  return out;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const int first = 1 + data[0] % 3;
  const int last = first + int(std::int8_t(data[1])) % 4;
  const int attempts = int(std::int8_t(data[2])) % 6;
  const std::size_t n = std::min<std::size_t>(data[3] % 64, size - 4);
  const std::string_view stageFile(reinterpret_cast<const char*>(data) + 4 + n, size - 4 - n);

  const std::filesystem::path& dir = gameDir();
  fuzz::writeFile(dir / "vunt-n.zad", "LET,20," + std::to_string(attempts) + "\r\nBEED," + std::to_string(first) + "," +
                                          std::to_string(last) + "\r\nLBHGV,0,F21\r\nEOF\r\n");
  fuzz::writeFile(dir / "vunt.pdt", stageFile);

  std::ostringstream out;
  CheckingHost host(keys(data + 4, n), out);
  host.setBudget(1000, 100000);
  Vunt game(host, dir);
  host.game = &game;
  host.run(game);

  const std::vector<std::string> t = lines(out.str());
  VUNT_FUZZ_CHECK(t.size() >= 2 && t[t.size() - 2].rfind("end\t", 0) == 0, "the run ends");
  for (const std::string& l : t) {
    if (l.rfind("stage\t", 0) != 0) continue;
    const int s = std::stoi(l.substr(6));
    VUNT_FUZZ_CHECK(s >= first && s <= last, "only the stages of the puzzle are loaded");
  }
  if (t[t.size() - 2] == "end\tEOF") {
    VUNT_FUZZ_CHECK(game.script.Flags[21] == 0 || game.script.Flags[21] == 1, "F21 is the outcome");
    VUNT_FUZZ_CHECK(game.script.Flags[21] == 1 || game.script.Flags[20] == 9, "attempts run out: F20 is 9 again");
    VUNT_FUZZ_CHECK(game.Timer1Enabled && game.puzzle.PuzzleActive == 0, "the script runs again");
    VUNT_FUZZ_CHECK(t[t.size() - 3] == "caption\tLBHG(0)\t" + std::to_string(game.script.Flags[21]), "the line after BEED ran");
  }
  return 0;
}
