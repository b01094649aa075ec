#pragma once
// Builds stage files for tests from pictures of the board, one string per row:
//   '.' floor   '1'..'5' piece of that kind   'a'..'e' goal plate of kind 1..5   'x' trap
//   '#' wall (code 16)   '~' code 25 (a wall drawn as floor)
// Missing rows and the ends of short rows are floor.
#include <stdexcept>
#include <string>
#include <vector>

#include "puzzle/stage.hpp"

namespace vunt::test {

using StagePicture = std::vector<std::string>;

inline char cellCode(char c) {
  if (c == '.') return 0;
  if (c >= '1' && c <= '5') return char(c - '0');
  if (c >= 'a' && c <= 'e') return char(c - 'a' + 6);
  if (c == 'x') return 11;
  if (c == '#') return 16;
  if (c == '~') return 25;
  throw std::invalid_argument(std::string("no cell code for ") + c);
}

// The 144 cell codes of one stage.
inline std::string stageCells(const StagePicture& rows) {
  std::string cells(kStageCells, '\0');
  for (std::size_t r = 0; r < rows.size() && r < 12; ++r)
    for (std::size_t c = 0; c < rows[r].size() && c < 12; ++c) cells[r * 12 + c] = cellCode(rows[r][c]);
  return cells;
}

// A stage file holding the stages in order. The bytes that are never read hold 0xFF, a code no
// stage may contain, so reading one of them by mistake fails the decoding.
inline std::string stageFile(const std::vector<StagePicture>& stages) {
  std::string file(32, '\xFF');
  for (const StagePicture& s : stages) file += stageCells(s) + std::string(16, '\xFF');
  return file;
}

inline PuzzleBoard decoded(const StagePicture& rows) {
  PuzzleBoard b;
  if (decodeStage(stageFile({rows}), 1, b) != StageError::None) throw std::invalid_argument("bad stage picture");
  return b;
}

}  // namespace vunt::test
