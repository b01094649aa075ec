#!/usr/bin/env bash
# The engine built for the browser, run under Node.js, plays the bundled game's walkthroughs and
# the example games headless and must print the desktop's transcript byte for byte, with the same
# exit status; so must it for a script error and for a save file written by one run and read by
# the next. Skipped (status 77) when the browser build is missing: `make web` makes it.
#   tests/web/headless.sh VUNT ROOT WEB_BUILD
set -u
vunt=$(realpath "$1")
root=$(realpath "$2")
web=${3:-$root/build-web}
bin=$(dirname "$vunt")
source "$root/tests/lib/limits.bash"
node_vunt=$web/vunt-node.js
if ! command -v node >/dev/null || [ ! -f "$node_vunt" ]; then
  echo "SKIP: no browser build in $web (make web builds it)"; exit 77
fi
fail=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# Node 20 would fetch the wasm with its own fetch, which cannot read files.
run_node() { limit 300 node --no-experimental-fetch "$node_vunt" "$@"; }

# same NAME GAME_DIR INPUT: both builds play INPUT in fresh copies of GAME_DIR.
same() {
  local name=$1 game=$2 input=$3
  rm -rf "$tmp/d" "$tmp/w" && cp -r "$game" "$tmp/d" && cp -r "$game" "$tmp/w" && rm -f "$tmp"/[dw]/VUNT.DAT
  limit 120 "$vunt" --headless --input "$input" "$tmp/d" >"$tmp/desktop" 2>/dev/null
  local ds=$?
  run_node --headless --input "$input" "$tmp/w" >"$tmp/web" 2>/dev/null
  local ws=$?
  if [ "$ds" != "$ws" ]; then echo "FAIL $name: exit status $ws, desktop $ds"; fail=1; return; fi
  if ! cmp -s "$tmp/desktop" "$tmp/web"; then
    echo "FAIL $name: transcripts differ"; diff "$tmp/desktop" "$tmp/web" | head -20; fail=1; return
  fi
  if [ -f "$tmp/d/VUNT.DAT" ] && ! cmp -s "$tmp/d/VUNT.DAT" "$tmp/w/VUNT.DAT"; then
    echo "FAIL $name: the save files differ"; fail=1; return
  fi
  echo "ok   $name ($(wc -l <"$tmp/desktop") lines, status $ds)"
}

for dir in "$root"/examples/*/; do
  same "example $(basename "$dir")" "$dir" "$dir/input.txt"
done
for plan in "$root"/tests/data/game/*.txt; do
  limit "$root/tools/game/expand_input.sh" "$bin/vunt-stage" "$root/game/vunt.pdt" <"$plan" >"$tmp/in" || {
    echo "FAIL $(basename "$plan"): cannot expand its solve lines"; fail=1; continue; }
  same "game $(basename "$plan" .txt)" "$root/game" "$tmp/in"
done

# A save written by the node build is read by the desktop and the other way round: the continued
# game of continue.txt after save.txt, each half played by the other build.
limit "$root/tools/game/expand_input.sh" "$bin/vunt-stage" "$root/game/vunt.pdt" <"$root/tests/data/game/save.txt" >"$tmp/save.in"
limit "$root/tools/game/expand_input.sh" "$bin/vunt-stage" "$root/game/vunt.pdt" <"$root/tests/data/game/continue.txt" >"$tmp/continue.in"
rm -rf "$tmp/x" "$tmp/y" && cp -r "$root/game" "$tmp/x" && cp -r "$root/game" "$tmp/y" && rm -f "$tmp"/[xy]/VUNT.DAT
run_node --headless --input "$tmp/save.in" "$tmp/x" >/dev/null 2>&1
limit 120 "$vunt" --headless --input "$tmp/save.in" "$tmp/y" >/dev/null 2>&1
if cmp -s "$tmp/x/VUNT.DAT" "$tmp/y/VUNT.DAT"; then echo "ok   save written alike"; else echo "FAIL save written alike"; fail=1; fi
limit 120 "$vunt" --headless --input "$tmp/continue.in" "$tmp/x" >"$tmp/c1" 2>/dev/null
run_node --headless --input "$tmp/continue.in" "$tmp/y" >"$tmp/c2" 2>/dev/null
if [ -s "$tmp/c1" ] && cmp -s "$tmp/c1" "$tmp/c2"; then echo "ok   save read alike"; else echo "FAIL save read alike"; fail=1; fi

# Bad input stays bad input: a script that cannot be loaded, and a damaged one.
mkdir -p "$tmp/empty"
same "no script" "$tmp/empty" /dev/null
mkdir -p "$tmp/broken" && printf 'MES,ok\xef\xbf\r\nGOTO,F99\r\n' >"$tmp/broken/vunt-n.zad"
same "broken script" "$tmp/broken" /dev/null
exit $fail
