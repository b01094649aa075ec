#!/usr/bin/env bash
# Rebuilds every file of the bundled game in game/ from its sources in tools/game/:
#   story.txt    -> vunt-n.zad  (vunt-asm: labels resolved, code page 932, CR LF) and its line
#                   map vunt-n.map, so that error reports and vunt-lint name lines of story.txt
#   stages.txt   -> vunt.pdt    (packed by vunt-stage from the build directory), and the stage
#                   table tools/game/stage-table.md (tools/game/stage_table.sh)
#   make_pictures.py -> *.szg   make_sounds.py -> *.wav
# Run from anywhere: tools/game/make_game.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cd "$root"
if [ ! -x "$build/vunt-asm" ]; then
  echo "vunt-asm is not built in $build: run make build first" >&2
  exit 1
fi
"$build/vunt-asm" tools/game/story.txt -o game/vunt-n.zad
python3 tools/game/make_pictures.py game
python3 tools/game/make_sounds.py game | tail -1
if [ -x "$build/vunt-stage" ]; then
  "$build/vunt-stage" pack tools/game/stages.txt game/vunt.pdt
  "$build/vunt-stage" solve game/vunt.pdt
  tools/game/stage_table.sh "$build" >tools/game/stage-table.md
else
  echo "vunt-stage is not built in $build: game/vunt.pdt left as it is" >&2
fi

# The README's screenshots, from a headless play of the careful player's ending: the title, Tae's
# question at the harbour in the storm, the first practice board, the last real board, the light
# and the next morning. A frame is saved at
# every wait for the player, and every event of the input answers one wait: a key answers the
# board, any other event the next page, menu or picture-window line of the transcript.
# The picture window shows its picture as it is: the README's view of it is the drawing itself.
convert game/zu.szg docs/game-diagram.png
if [ -x "$build/vunt" ] && [ -x "$build/vunt-stage" ]; then
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  cp -r game "$tmp/game" && rm -f "$tmp/game/VUNT.DAT"
  tools/game/expand_input.sh "$build/vunt-stage" game/vunt.pdt <tests/data/game/true_ending.txt >"$tmp/in"
  "$build/vunt" --headless --frames "$tmp/frames" --input "$tmp/in" "$tmp/game" >"$tmp/out"
  mkdir -p docs
  python3 - "$tmp" <<'PY'
import re, shutil, sys
tmp = sys.argv[1]
events = [l.strip() for l in open(f"{tmp}/in", encoding="utf-8")
          if l.strip() and not l.startswith("#")]
lines = open(f"{tmp}/out", encoding="utf-8").read().splitlines()
shots = {"game-title": r"^menu\tはじめから", "game-harbour": r"^menu\t正直に話す",
         "game-lesson": r"^stage\t1$", "game-puzzle": r"^stage\t8$",
         "game-light": r"^page\t.*まばゆい光の帯", "game-morning": r"^page\t.*次の朝。"}
frames, pos = {}, 0
waits = ("page", "menu", "picture-window")
for k, event in enumerate(events, 1):
    if event in ("left", "right", "up", "down", "esc"):
        # the board waits with the lines since the last answered wait: the stage it shows
        end = pos
        while end < len(lines) and lines[end].split("\t")[0] not in waits:
            end += 1
        shown = lines[pos:end]
    else:
        while lines[pos].split("\t")[0] not in waits:
            pos += 1
        shown = [lines[pos]]
        pos += 1
    for name, pattern in shots.items():
        if name not in frames and any(re.search(pattern, l) for l in shown):
            frames[name] = k
for name, k in frames.items():
    shutil.copy(f"{tmp}/frames/{k:04d}.png", f"docs/{name}.png")
    print(f"docs/{name}.png: frame {k}")
PY
fi
