#pragma once
// Random play of a stage, to measure how much a stage asks of the player: how often a player who
// presses arrow keys at random clears it. Each play has a number of attempts, as the game's
// chances; an attempt starts from the stage's start position and presses random arrow keys, each
// of the four equally likely, until the stage is cleared (the play is won), a piece ends on a trap
// (the attempt is lost) or the attempt's keys are used up (the player gives up with Esc, which
// costs the attempt as well). The keys come from a Mersenne Twister (std::mt19937) seeded with the
// given seed, so the same stage and rules always give the same count.
#include <cstdint>

#include "puzzle/board.hpp"

namespace vunt {

struct RandomPlayRules {
  int plays = 1000;
  int attempts = 5;           // the story's chances
  int keysPerAttempt = 100;   // then the player gives up
  std::uint32_t seed = 1;
};

// The number of plays out of rules.plays that clear the stage whose start position the board
// holds (as decodeStage leaves it).
int randomClears(const PuzzleBoard& start, const RandomPlayRules& rules);

}  // namespace vunt
