#!/usr/bin/env bash
# Rebuilds every file of the bundled game in game/ from its sources in tools/game/:
#   story.txt    -> vunt-n.zad  (labels resolved, code page 932, CR LF)
#   stages.txt   -> vunt.pdt    (packed by vunt-stage from the build directory)
#   make_pictures.py -> *.szg   make_sounds.py -> *.wav
# Run from anywhere: tools/game/make_game.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cd "$root"
python3 tools/game/make_script.py tools/game/story.txt game/vunt-n.zad
python3 tools/game/make_pictures.py game
python3 tools/game/make_sounds.py game | tail -1
if [ -x "$build/vunt-stage" ]; then
  "$build/vunt-stage" pack tools/game/stages.txt game/vunt.pdt
  "$build/vunt-stage" solve game/vunt.pdt
else
  echo "vunt-stage is not built in $build: game/vunt.pdt left as it is" >&2
fi
