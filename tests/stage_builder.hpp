#pragma once
// Stage files for tests, from pictures of the board, one string per row (missing rows and the ends
// of short rows are floor): '.' floor, '1'..'5' piece of that kind, 'a'..'e' goal plate of kind
// 1..5, 'x' trap, '#' wall (16), '~' code 25 (a wall drawn as floor).
#include <stdexcept>
#include <string>
#include <vector>

#include "puzzle/stage.hpp"

namespace vunt::test {

using StagePicture = std::vector<std::string>;

inline std::string stageCells(const StagePicture& rows) {
  std::string cells(kStageCells, '\0');
  for (std::size_t r = 0; r < rows.size() && r < 12; ++r)
    for (std::size_t c = 0; c < rows[r].size() && c < 12; ++c) {
      const char ch = rows[r][c];
      cells[r * 12 + c] = ch >= '1' && ch <= '5' ? char(ch - '0') : ch >= 'a' && ch <= 'e' ? char(ch - 'a' + 6)
                        : ch == 'x' ? 11 : ch == '#' ? 16 : ch == '~' ? 25 : 0;
    }
  return cells;
}

// The bytes that are never read hold 0xFF, a code no stage may hold, so reading one fails.
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
