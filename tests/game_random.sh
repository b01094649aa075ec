#!/usr/bin/env bash
# The bundled game under random play: 150 headless runs, each fed its own seeded stream
# of random events (clicks, menu labels, arrows, Esc, the right button, keys). Every run must end
# the way the game ends (EXIT from the menu after an ending, EOF from the title's "おわる") before
# its events run out: no error report, no hang (each run has a time limit) and no soft-lock (a run
# that still waits after all its events found a state it could not leave). An ending may also lead
# back to the title, and a run that has gone that way and started again counts as ended there.
# Odd seeds begin with "はじめから", so half the runs play the story; the runs share one copy of
# the game, so later ones can continue a game that earlier ones saved.
#   tests/game_random.sh VUNT ROOT [RUNS]     (RUNS: 150 of 8000 events each; 20 under the sanitizers)
# Time limit of the whole test: 600 s (150 runs of about a second each, longer on a busy machine).
set -u
source "$(dirname "$0")/lib/limits.bash"
vunt=$1
root=$2
runs=${3:-150}
[ -n "${ASAN_OPTIONS:-}${UBSAN_OPTIONS:-}" ] && [ -z "${3:-}" ] && runs=20
events=8000
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp -r "$root/game" "$tmp/game" && rm -f "$tmp/game/VUNT.DAT"
bound=()
limit 10 "$vunt" --help 2>&1 | grep -q -- '--max-ticks' && bound=(--max-ticks 5000000)

# One seeded stream of events; awk's generator makes the same stream for the same seed.
random_events() {
  awk -v seed="$1" -v n="$events" 'BEGIN {
    srand(seed)
    if (seed % 2) print "label 0"
    for (i = 0; i < n; i++) {
      r = rand()
      if (r < 0.30) print "click"
      else if (r < 0.64) print "label " int(rand() * 4)
      else if (r < 0.82) { k = int(rand() * 4); print (k == 0 ? "left" : k == 1 ? "right" : k == 2 ? "up" : "down") }
      else if (r < 0.92) print "esc"
      else if (r < 0.95) print "space"
      else if (r < 0.97) print "rclick"
      else if (r < 0.98) print "click-picture"
      else if (r < 0.99) print "key 13"
      else print "char a"
    }
  }'
}

fail=0
declare -A ends=()
for seed in $(seq 1 "$runs"); do
  random_events "$seed" >"$tmp/in"
  limit 20 "$vunt" --headless "${bound[@]}" --input "$tmp/in" "$tmp/game" >"$tmp/out" 2>"$tmp/err"
  status=$?
  end=$(grep -m1 '^end	' "$tmp/out" | cut -f2)
  # Out of events in a second play, after an ending led back to the title: the first play ended.
  if [ "$status" -eq 3 ] && ! grep -q '^error	' "$tmp/out" &&
     awk '/^page	.*ＥＮＤ[１２３]/ { ended = 1 } ended && /^menu	はじめから/ { again = 1 } END { exit !again }' "$tmp/out"; then
    status=0
    end="title again"
  fi
  if [ "$status" -ne 0 ] || grep -q '^error	' "$tmp/out"; then
    case $status in
      124|137) why="no end within the time limit (a hang)" ;;
      3) why="still waiting after $events events (a soft-lock?)" ;;
      *) why="status $status, end [$end]: $(grep -m1 '^error	' "$tmp/out")" ;;
    esac
    echo "FAIL seed $seed: $why"
    tail -4 "$tmp/out" | cut -c1-200
    fail=1
  fi
  ends[$end]=$(( ${ends[$end]:-0} + 1 ))
done
for end in "${!ends[@]}"; do echo "$end: ${ends[$end]} runs"; done
[ "$fail" -eq 0 ] && echo "ok   $runs random runs ended without an error, a hang or a soft-lock"
exit $fail
