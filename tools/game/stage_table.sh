#!/usr/bin/env bash
# Prints the stage table of the bundled game, tools/game/stage-table.md, from game/vunt.pdt with
# vunt-stage's table mode: never typed, always made. make_game.sh writes it; tests/stage_table.sh
# checks that the file in the repository is what this script makes.
#   tools/game/stage_table.sh [BUILD_DIR] > tools/game/stage-table.md      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cat <<'TEXT'
# The stages of the bundled game

Made by `tools/game/stage_table.sh` (`vunt-stage table game/vunt.pdt`) from `tools/game/stages.txt`;
do not edit it by hand.

- **Minimum moves**: the least number of arrow keys that clears the stage, as the solver proves it
  (breadth-first over every position); **States searched**: the positions it stored on the way.
- **Random clears**: how many of 1000 random plays clear the stage. A random play has 5 attempts
  (the story's chances). Each attempt starts the stage afresh and presses arrow keys drawn at
  random, each of the four equally likely, until the stage is cleared (the play counts), a piece
  ends on a trap (the attempt is lost) or 100 keys have been pressed without clearing it (the
  player gives up with Esc, which costs the attempt too). The keys come from `std::mt19937`
  seeded with 1 + the stage number, so the table is the same on every run.

Stages 1-4 teach one rule each (everything moves together, the edges wrap, traps, plates of several
kinds). From stage 5 on, the minimum moves rise and the share of random play that clears a stage
falls.

TEXT
"$build/vunt-stage" table "$root/game/vunt.pdt"
