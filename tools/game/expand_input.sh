#!/usr/bin/env bash
# Expands the "solve N" lines of a walkthrough input into the keys that vunt-stage's solver finds
# for stage N of the game's stage file, one a line; every other line is copied.
#   tools/game/expand_input.sh VUNT_STAGE STAGE_FILE < INPUT > EXPANDED
set -euo pipefail
tool=$1
pdt=$2
while IFS= read -r line; do
  if [[ $line =~ ^solve\ ([0-9]+)$ ]]; then
    keys=$("$tool" solve "$pdt" "${BASH_REMATCH[1]}" | sed -n 's/^stage [0-9]*: [0-9]* moves: \([LRUD]*\).*/\1/p')
    [ -n "$keys" ] || { echo "expand_input: no solution for stage ${BASH_REMATCH[1]}" >&2; exit 1; }
    echo "$keys" | fold -w1 | sed 's/L/left/; s/R/right/; s/U/up/; s/D/down/'
  else
    printf '%s\n' "$line"
  fi
done
