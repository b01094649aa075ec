#pragma once
// What a running puzzle holds: the board model, the stage being played and the last one, whether
// the board takes keys, and the BEED line that started it.
#include <cstdint>

#include "puzzle/board.hpp"

namespace vunt {

struct PuzzleState {
  PuzzleBoard board;
  std::int16_t Stage = 0;
  std::int16_t LastStage = 0;
  std::int16_t PuzzleActive = 0;
  std::int16_t PuzzleLine = 0;  // the BEED line of the running puzzle
};

}  // namespace vunt
