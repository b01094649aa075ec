#!/usr/bin/env bash
# Remakes the headless inputs of tests/game_playthrough.sh from their plans, with
# tools/game/walkthrough.py: tests/data/game/NAME.plan -> NAME.txt. Run it after the story changes
# what the game waits for. continue.plan goes on from the game that save.plan saved.
#   tools/game/make_inputs.sh [BUILD_DIR]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
data=$root/tests/data/game
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fresh() { rm -rf "$tmp/game" && cp -r "$root/game" "$tmp/game" && rm -f "$tmp/game/VUNT.DAT"; }
for plan in "$data"/*.plan; do
  name=$(basename "$plan" .plan)
  [ "$name" = continue ] && continue
  fresh
  python3 "$root/tools/game/walkthrough.py" "$build/vunt" "$tmp/game" "$plan" >"$data/$name.txt"
done
fresh
"$root/tools/game/expand_input.sh" "$build/vunt-stage" "$tmp/game/vunt.pdt" <"$data/save.txt" >"$tmp/save.txt"
"$build/vunt" --headless --input "$tmp/save.txt" "$tmp/game" >/dev/null
python3 "$root/tools/game/walkthrough.py" "$build/vunt" "$tmp/game" "$data/continue.plan" >"$data/continue.txt"
