#!/usr/bin/env bash
# vunt-asm on the command line, vunt-lint given a source file or a game with a line map, the
# engine's error report naming the source line, and the starter game of vunt-asm --init.
set -u
vunt=$1
bin=$(dirname "$vunt")
fail=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then echo "FAIL $1: expected [$2], got [$3]"; fail=1; else echo "ok   $1"; fi
}
t() { timeout -k 5 60 "$@"; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

t "$bin/vunt-asm" --help >"$tmp/out"; check "help" 0 $?
grep -q -- "--init" "$tmp/out"; check "help names --init" 0 $?
t "$bin/vunt-asm" 2>/dev/null; check "no source" 2 $?
t "$bin/vunt-asm" --bogus x 2>/dev/null; check "unknown option" 2 $?
t "$bin/vunt-asm" "$tmp/none.txt" 2>"$tmp/err"; check "missing source" 1 $?
check "missing source message" "vunt-asm: $tmp/none.txt: no such file" "$(cat "$tmp/err")"

# Every fault at once, nothing written.
mkdir "$tmp/bad"
printf 'GOTO,{nowhere}\nMES,caf\xc3\xa9\nFOO\n:x\n' >"$tmp/bad/story.txt"
t "$bin/vunt-asm" "$tmp/bad/story.txt" 2>"$tmp/err"; check "errors: status" 1 $?
check "errors: positions" "$tmp/bad/story.txt:1:6: error|$tmp/bad/story.txt:2:8: error|$tmp/bad/story.txt:3:1: error|$tmp/bad/story.txt:4:2: error" \
  "$(grep -o '^[^ ]*: error' "$tmp/err" | paste -sd'|')"
check "errors: nothing written" "story.txt" "$(ls "$tmp/bad")"

# A game from source: script and map; lint names the source lines; so does the engine's report.
mkdir "$tmp/game"
cat >"$tmp/game/story.txt" <<'SRC'
; a short game
:start
MES,＠00はじめ￥
    GOTO,{later}
:later
LET,40,1
EXIT
SRC
t "$bin/vunt-asm" "$tmp/game/story.txt" >"$tmp/out"; check "assemble: status" 0 $?
check "assemble: report" "$tmp/game/vunt-n.zad: 4 lines, 2 labels" "$(cat "$tmp/out")"
check "assemble: code page 932" "MES,＠00はじめ￥" "$(iconv -f CP932 -t UTF-8 "$tmp/game/vunt-n.zad" | sed -n 1p | tr -d '\r')"
check "map: header" "vunt-map	1" "$(head -1 "$tmp/game/vunt-n.map" | cut -f1-2)"
for target in "$tmp/game/story.txt" "$tmp/game"; do
  t "$bin/vunt-lint" "$target" >"$tmp/lint" 2>/dev/null; status=$?
  check "lint $(basename "$target"): status" 1 $status
  check "lint $(basename "$target"): source position" "$tmp/game/story.txt:6" \
    "$(grep 'flag index 40' "$tmp/lint" | cut -d: -f1-2)"
  grep -qxF " 6 | LET,40,1" "$tmp/lint"; check "lint $(basename "$target"): source line quoted" 0 $?
  grep -qxF "  in the script: line 3" "$tmp/lint"; check "lint $(basename "$target"): script line" 0 $?
done
printf 'click\n' >"$tmp/in"
t "$vunt" --headless --input "$tmp/in" "$tmp/game" >"$tmp/out" 2>"$tmp/err"; check "error: status" 1 $?
check "error: transcript names the source" "story.txt:6" "$(grep ^error "$tmp/out" | cut -f4)"
grep -q "story.txt:6" "$tmp/err"; check "error: standard error names the source" 0 $?
t "$vunt" --headless --start later --input /dev/null "$tmp/game" >"$tmp/out" 2>/dev/null
check "start at a label" "error	Zad ERROR	フラグ範囲外( 3)\\rLET,40,1	story.txt:6" "$(grep ^error "$tmp/out")"

# The starter game: assembles, lints clean and plays its test to the end.
t "$bin/vunt-asm" --init "$tmp/new" >/dev/null; check "init: status" 0 $?
t "$bin/vunt-lint" "$tmp/new" >"$tmp/lint" 2>&1; check "init: lints clean" "0:" "$?:$(cat "$tmp/lint")"
t "$bin/vunt-lint" "$tmp/new/story.txt" >"$tmp/lint" 2>&1; check "init: source lints clean" "0:" "$?:$(cat "$tmp/lint")"
t "$vunt" --headless --input "$tmp/new/test-input.txt" "$tmp/new" >"$tmp/out"; check "init: plays" 0 $?
check "init: to its end" "end	EXIT" "$(grep ^end "$tmp/out")"
grep -q "^stage	1" "$tmp/out"; check "init: the puzzle" 0 $?
cp "$tmp/new/vunt-n.zad" "$tmp/zad"
t "$bin/vunt-asm" "$tmp/new/story.txt" >/dev/null && cmp -s "$tmp/zad" "$tmp/new/vunt-n.zad"; check "init: source and script agree" 0 $?
t "$bin/vunt-asm" --init "$tmp/new" 2>/dev/null; check "init: refuses a folder in use" 1 $?
exit $fail
