#include "puzzle/random_play.hpp"

#include <random>

#include "puzzle/rules.hpp"

namespace vunt {

int randomClears(const PuzzleBoard& start, const RandomPlayRules& rules) {
  std::mt19937 keys(rules.seed);
  int cleared = 0;
  for (int play = 0; play < rules.plays; ++play) {
    bool won = false;
    for (int attempt = 0; attempt < rules.attempts && !won; ++attempt) {
      PuzzleBoard b = start;
      for (int key = 0; key < rules.keysPerAttempt; ++key) {
        movePieces(b.ref(), *moveDelta(int(keys() % 4)));  // 2^32 is a multiple of 4: no bias
        const CheckResult check = checkPieces(b.ref());
        if (check.failed()) break;
        if (check.cleared(b.PieceCount)) {
          won = true;
          break;
        }
      }
    }
    cleared += won;
  }
  return cleared;
}

}  // namespace vunt
