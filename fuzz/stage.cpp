// The stage loader's decoding and the puzzle's move rule, on random stage files and moves.
//
// Input: one byte for the stage number (-5..5), 16 moves (a byte each: down, left, right, up by
// its value modulo 4), then the stage file's bytes.
//
// Beyond the sanitizers: decoding agrees with a plain reading of the file (the first fault in scan
// order, or the cells and pieces in scan order); every move agrees with the rule as written, pass
// after pass over all unsettled pieces, in the moves made, their order, the pieces' cells and the
// occupied cells; no two pieces share a cell, none stands on a wall, none moves more than one
// cell; the check after a move finds the trapped pieces and the pieces on their own goal.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.hpp"
#include "puzzle/rules.hpp"
#include "puzzle/stage.hpp"

using namespace vunt;

namespace {

StageError referenceDecode(std::string_view file, int stage, PuzzleBoard& b) {
  if (stage < 1 || stage > 204) return StageError::OutOfRange;
  const std::size_t first = 32 + 160 * std::size_t(stage - 1);
  if (file.size() < first + 144) return StageError::NotInFile;
  int pieces = 0;
  for (int k = 0; k < 144; ++k) {
    const int code = std::uint8_t(file[first + std::size_t(k)]);
    const int c = k % 12, r = k / 12;
    if (code > 25) return StageError::BadCellCode;
    if (code >= 1 && code <= 5) {
      if (++pieces > 30) return StageError::TooManyPieces;
      b.PieceX[pieces] = std::int16_t(c);
      b.PieceY[pieces] = std::int16_t(r);
      b.PieceKind[pieces] = std::int16_t(code);
      b.Occupied[c][r] = std::int16_t(pieces);
    } else {
      b.Board[c][r] = std::int16_t(code);
    }
  }
  b.PieceCount = std::int16_t(pieces);
  return StageError::None;
}

// The move phase exactly as the rules describe it. Returns the pieces in the order they moved.
std::vector<int> referenceMove(PuzzleBoard& b, int dx, int dy) {
  std::vector<int> order;
  std::array<bool, 31> done{};
  int settled = 0;
  const int passes = b.PieceCount;
  for (int pass = 0; pass < passes; ++pass) {
    for (int i = 1; i <= b.PieceCount; ++i) {
      if (done[std::size_t(i)]) continue;
      int tx = b.PieceX[i] + dx, ty = b.PieceY[i] + dy;
      tx = tx == -1 ? 11 : tx == 12 ? 0 : tx;
      ty = ty == -1 ? 11 : ty == 12 ? 0 : ty;
      if (b.Board[tx][ty] >= 16) {
        done[std::size_t(i)] = true;
        ++settled;
      } else if (b.Occupied[tx][ty] == 0) {
        b.Occupied[b.PieceX[i]][b.PieceY[i]] = 0;
        b.Occupied[tx][ty] = 1;
        b.PieceX[i] = std::int16_t(tx);
        b.PieceY[i] = std::int16_t(ty);
        done[std::size_t(i)] = true;
        ++settled;
        order.push_back(i);
      }
    }
    if (settled == b.PieceCount) break;
  }
  return order;
}

void checkBoard(const PuzzleBoard& b) {
  VUNT_FUZZ_CHECK(b.PieceCount >= 0 && b.PieceCount <= kMaxPieces, "at most 30 pieces");
  int occupied = 0;
  for (int c = 0; c < 12; ++c)
    for (int r = 0; r < 12; ++r) {
      occupied += b.Occupied[c][r] != 0;
      VUNT_FUZZ_CHECK(b.Board[c][r] >= 0 && b.Board[c][r] <= kLastCellCode, "cell codes 0..25");
      VUNT_FUZZ_CHECK(b.Board[c][r] < 1 || b.Board[c][r] > 5, "piece cells are floor");
    }
  VUNT_FUZZ_CHECK(occupied == b.PieceCount, "one occupied cell per piece");
  for (int i = 1; i <= b.PieceCount; ++i) {
    const int x = b.PieceX[i], y = b.PieceY[i];
    VUNT_FUZZ_CHECK(x >= 0 && x < 12 && y >= 0 && y < 12, "pieces stand on the board");
    VUNT_FUZZ_CHECK(b.Occupied[x][y] != 0, "a piece's cell is occupied");
    VUNT_FUZZ_CHECK(b.Board[x][y] < kFirstWallCode, "no piece stands on a wall");
    VUNT_FUZZ_CHECK(b.PieceKind[i] >= 1 && b.PieceKind[i] <= 5, "piece kinds 1..5");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 17) return 0;
  const int stage = int(std::int8_t(data[0])) % 6;
  const std::string_view file(reinterpret_cast<const char*>(data) + 17, size - 17);

  PuzzleBoard got, want;
  const StageError error = decodeStage(file, stage, got);
  VUNT_FUZZ_CHECK(error == referenceDecode(file, stage, want), "the same verdict on the stage");
  if (error != StageError::None) return 0;
  VUNT_FUZZ_CHECK(got.Board == want.Board && got.Occupied == want.Occupied && got.PieceCount == want.PieceCount,
                  "the cells and pieces of the file");
  for (int i = 1; i <= got.PieceCount; ++i)
    VUNT_FUZZ_CHECK(got.PieceX[i] == want.PieceX[i] && got.PieceY[i] == want.PieceY[i] &&
                        got.PieceKind[i] == want.PieceKind[i],
                    "pieces in scan order");
  checkBoard(got);

  for (int m = 1; m <= 16; ++m) {
    const auto delta = moveDelta(data[m] % 4);
    VUNT_FUZZ_CHECK(delta.has_value(), "moves 0..3 have a direction");
    const PuzzleBoard before = got;
    const MoveResult moved = movePieces(got.ref(), *delta);
    const std::vector<int> order = referenceMove(want, delta->dx, delta->dy);
    VUNT_FUZZ_CHECK(moved.count == int(order.size()), "the same pieces move");
    for (int k = 0; k < moved.count; ++k) {
      const PieceMove& pm = moved.moves[std::size_t(k)];
      VUNT_FUZZ_CHECK(pm.piece == order[std::size_t(k)], "pieces move in the order of the passes");
      VUNT_FUZZ_CHECK(pm.fromX == before.PieceX[pm.piece] && pm.fromY == before.PieceY[pm.piece], "moves start where the piece stood");
    }
    for (int i = 1; i <= got.PieceCount; ++i) {
      VUNT_FUZZ_CHECK(got.PieceX[i] == want.PieceX[i] && got.PieceY[i] == want.PieceY[i], "pieces end on the same cells");
      const int ddx = (got.PieceX[i] - before.PieceX[i] + 12) % 12, ddy = (got.PieceY[i] - before.PieceY[i] + 12) % 12;
      VUNT_FUZZ_CHECK((ddx == 0 || ddx == (delta->dx + 12) % 12) && (ddy == 0 || ddy == (delta->dy + 12) % 12),
                      "a piece moves one cell in the direction of the move, or stays");
    }
    for (int c = 0; c < 12; ++c)
      for (int r = 0; r < 12; ++r)
        VUNT_FUZZ_CHECK((got.Occupied[c][r] != 0) == (want.Occupied[c][r] != 0), "the same cells are occupied");
    checkBoard(got);

    const CheckResult check = checkPieces(got.ref());
    int trapped = 0, home = 0;
    for (int i = 1; i <= got.PieceCount; ++i) {
      const int under = got.Board[got.PieceX[i]][got.PieceY[i]];
      if (under == kTrapCode) {
        VUNT_FUZZ_CHECK(trapped < check.trappedCount && check.trapped[std::size_t(trapped)] == i, "trapped pieces in order");
        ++trapped;
      }
      home += under == got.PieceKind[i] + 5;
    }
    VUNT_FUZZ_CHECK(trapped == check.trappedCount && home == check.onOwnGoal, "the check counts traps and goals");
  }
  return 0;
}
