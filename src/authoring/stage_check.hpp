#pragma once
// Checks of one puzzle stage that need no search: pieces and goal plates that can never meet.
#include <string>
#include <vector>

#include "puzzle/board.hpp"

namespace vunt {

struct StageFault {
  bool certain;         // the stage can never be cleared (else: a doubt worth a warning)
  std::string message;  // English, without the stage number
};

// A piece alone on the board reaches a superset of the cells it can reach among the others
// (another piece only ever holds it back), so a piece that alone reaches no goal plate of its kind
// can never be cleared, and a goal plate no piece of its kind reaches alone is never used.
std::vector<StageFault> stageFaults(const PuzzleBoard& stage);

}  // namespace vunt
