#!/usr/bin/env bash
# Reload of the bundled game while it plays: from the moment its source is saved to the moment the
# engine plays on in the new script. The game and its source are copied (the game folder's line
# map names ../tools/game/story.txt); `vunt --watch` runs on a virtual X server of its own; the
# source gets one more comment line each round, and the time until standard error says
# "reloaded" is taken. Prints each time and the median, and the time the engine itself names (the
# change seen, the source assembled, the files written, the game resumed).
#   nice bash bench/reload.sh build/vunt [ROUNDS]
set -u
vunt=$(realpath "$1")
rounds=${2:-10}
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
mkdir -p "$tmp/tools/game"
cp -r "$root/game" "$tmp/game"
cp "$root/tools/game/story.txt" "$tmp/tools/game/story.txt"
exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
read -r display <&3
xvfb=$!
trap 'kill $game $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$tmp"' EXIT
DISPLAY=:$display SDL_AUDIODRIVER=dummy "$vunt" --watch --scale 1 "$tmp/game" 2>"$tmp/err" &
game=$!
sleep 2
now() { date +%s%N; }
times=()
for i in $(seq "$rounds"); do
  # The reader waits on the error stream (tail follows it through inotify) before the save.
  { timeout 5 tail -n0 -f "$tmp/err" | grep -m1 -q reloaded; echo "$(now) $?" >"$tmp/seen"; } &
  reader=$!
  sleep 0.2
  start=$(now)
  echo "; round $i" >>"$tmp/tools/game/story.txt"
  wait $reader
  read -r end status <"$tmp/seen"
  if [ "$status" != 0 ]; then echo "no reload within 5 s"; cat "$tmp/err"; exit 1; fi
  times+=($(( (end - start) / 1000000 )))
  sleep 0.3
done
echo "save to playing (ms): ${times[*]}"
echo "inside the engine, from the change seen to playing (ms): $(grep -o 'in [0-9.]* ms' "$tmp/err" | cut -d' ' -f2 | paste -sd' ')"
printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print "median: " a[int((NR+1)/2)] " ms (goal: under 200 ms)"}'
