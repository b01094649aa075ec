#!/usr/bin/env bash
# Solves every stage of the bundled game's stage file with vunt-stage and checks the total time
# the solver took (goal: under 1 second in all). Run by hand from the repository root after a build:
#   bash bench/bundled_stages.sh [BUILD_DIR] [GAME_DIR]
set -u
build=${1:-build}
game=${2:-game}
if [ ! -e "$game/vunt.pdt" ]; then echo "no stage file in $game"; exit 1; fi
out=$("$build/vunt-stage" solve "$game/vunt.pdt")
status=$?
echo "$out"
total=$(echo "$out" | tail -1 | sed -n 's/.* in \([0-9.]*\) s,.*/\1/p')
if [ "$status" -ne 0 ]; then echo "FAIL: not every stage is solvable"; exit 1; fi
if awk "BEGIN { exit !($total < 1.0) }"; then echo "ok: ${total} s in all (goal: under 1 s)"; else echo "FAIL: ${total} s in all (goal: under 1 s)"; exit 1; fi
