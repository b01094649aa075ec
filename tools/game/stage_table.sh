#!/usr/bin/env bash
# Prints the stage table of the bundled game, tools/game/stage-table.md, from game/vunt.pdt with
# vunt-stage's table mode and the reachable positions of stage_stats.py: never typed, always
# made. make_game.sh writes it; tests/stage_table.sh checks that the file in the repository is
# what this script makes.
#   tools/game/stage_table.sh [BUILD_DIR] > tools/game/stage-table.md      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cat <<'TEXT'
# The stages of the bundled game

Made by `tools/game/stage_table.sh` (`vunt-stage table game/vunt.pdt`, then
`tools/game/stage_stats.py`) from `tools/game/stages.txt`; do not edit it by hand.

- **Minimum moves**: the least number of arrow keys that clears the stage, as the solver proves it
  (breadth-first over every position); **States searched**: the positions it stored on the way.
- **Random clears**: how many of 1000 random plays clear the stage. A random play has 5 attempts.
  Each attempt starts the stage afresh and presses arrow keys drawn at random, each of the four
  equally likely, until the stage is cleared (the play counts), a piece ends on a trap (the
  attempt is lost) or 100 keys have been pressed without clearing it (the player gives up with
  Esc, which costs the attempt too). The keys come from `std::mt19937` seeded with 1 + the stage
  number, so the table is the same on every run.
- **Positions**: every position a player can reach from the start (the failed and the cleared
  ones included), pieces of one kind counted as interchangeable; **Dead ends**: those of them,
  neither failed nor cleared, from which no keys clear the stage any more: there only Esc helps.

Three levels of eight, as the title's puzzle menu offers them. Stages 1-4 teach one rule each
(everything moves together, the edges wrap, traps, plates of several kinds) and have no dead end;
stages 5-8 are the story's real boards, its climax: three to five kinds, the minimum moves and the
positions rising from board to board. Stages 9-16 and 17-24 are for the puzzle alone, the minimum
moves and the positions rising within each level as well.

TEXT
"$build/vunt-stage" table "$root/game/vunt.pdt" | python3 "$root/tools/game/stage_stats.py" --table "$root/game/vunt.pdt"
