#!/usr/bin/env bash
# The authoring tools from the command line: vunt-stage (pack, unpack, solve) and vunt-lint.
set -u
vunt=$1
root=$2
bin=$(dirname "$vunt")
source "$(dirname "$0")/lib/limits.bash"
source "$(dirname "$0")/lib/checks.bash"

# --- vunt-stage ---
cat >"$tmp/stages.txt" <<'STAGES'
; two stages
stage 1
1...........
............
............
............
............
............
............
............
............
............
............
a...........

stage 2
############
#1.........#
#..........#
#....#.....#
#..........#
#.2..x.....#
#..........#
#......#...#
#..........#
#..b.....a.#
#..........#
############
STAGES
mkdir "$tmp/game"
limit "$bin/vunt-stage" pack "$tmp/stages.txt" "$tmp/game/vunt.pdt"; check "pack status" 0 $?
check "pack size" 352 "$(stat -c %s "$tmp/game/vunt.pdt")"
limit "$bin/vunt-stage" unpack "$tmp/game/vunt.pdt" >"$tmp/unpacked.txt"; check "unpack status" 0 $?
limit "$bin/vunt-stage" pack "$tmp/unpacked.txt" "$tmp/again.pdt"
cmp -s "$tmp/game/vunt.pdt" "$tmp/again.pdt"; check "unpack then pack" 0 $?
grep -A3 "^stage 2" "$tmp/unpacked.txt" | tail -1 >"$tmp/row"; check "unpacked row" "#..........#" "$(cat "$tmp/row")"

out=$(limit "$bin/vunt-stage" solve "$tmp/game/vunt.pdt" 1); check "solve status" 0 $?
check "solve line" "stage 1: 1 move: U" "$(echo "$out" | head -1 | sed 's/ (.*//')"
limit "$bin/vunt-stage" solve --input "$tmp/game/vunt.pdt" >"$tmp/input" 2>/dev/null; check "solve --input status" 0 $?
printf 'LET,20,1\r\nBEED,1,2\r\nEOF\r\n' >"$tmp/game/vunt-n.zad"
limit "$vunt" --headless --input "$tmp/input" "$tmp/game" >"$tmp/transcript"; check "solutions played" 0 $?
check "puzzle won without a lost attempt" "1 1" "$(grep ^flags "$tmp/transcript" | awk '{print $22, $23}')"

printf 'stage 1\n1.b\n' >"$tmp/bad.txt"
limit "$bin/vunt-stage" pack "$tmp/bad.txt" "$tmp/bad.pdt" 2>"$tmp/err"; check "pack fault status" 1 $?
check "pack fault" "$tmp/bad.txt:2: row has 3 characters, not 12" "$(head -1 "$tmp/err")"
test ! -e "$tmp/bad.pdt"; check "nothing written on a fault" 0 $?
printf 'stage 1\n1.b.........\n' >"$tmp/unsolvable.txt"
for i in $(seq 11); do echo "............" >>"$tmp/unsolvable.txt"; done
limit "$bin/vunt-stage" pack "$tmp/unsolvable.txt" "$tmp/unsolvable.pdt"
out=$(limit "$bin/vunt-stage" solve "$tmp/unsolvable.pdt"); check "unsolvable status" 1 $?
check "unsolvable line" "stage 1: unsolvable" "$(echo "$out" | head -1 | sed 's/ (.*//')"
limit "$bin/vunt-stage" solve 2>/dev/null; check "usage error" 2 $?

# --- vunt-lint ---
for s in A-PUZ1 A-PUZ2 A-CLEAR L-MISS L-batu; do cp "$(dirname "$0")/data/tiny.wav" "$tmp/game/$s.wav"; done
out=$(limit "$bin/vunt-lint" "$tmp/game" 2>&1); check "clean game status" 0 $?
check "clean game output" "" "$out"
printf 'LET,20,1\r\nBEED,1,3\r\nGOTOO\r\nEOF\r\n' >"$tmp/game/vunt-n.zad"
# Paths are printed as given, with the line, the column and a caret under the fault.
(cd "$tmp" && limit "$bin/vunt-lint" game >"$tmp/out" 2>"$tmp/err"); check "findings status" 1 $?
check "findings" "game/vunt-n.zad:2:8: error: stage 3 is not in vunt.pdt, which holds 2 stages
 2 | BEED,1,3
   |        ^
  hint: add the stage to vunt.pdt (vunt-stage pack) or name a stage it holds
game/vunt-n.zad:3:1: error: unknown command \"GOTOO\"
 3 | GOTOO
   | ^~~~~
  hint: did you mean GOTO? (GOTO,line)" "$(cat "$tmp/out")"
check "summary" "vunt-lint: 2 errors, 0 warnings" "$(cat "$tmp/err")"
limit "$bin/vunt-lint" --format=json "$tmp/game" >"$tmp/json"; check "json status" 1 $?
if command -v python3 >/dev/null; then
  check "json findings" "error 2 8|error 3 1" "$(python3 -c 'import json,sys
print("|".join("%s %d %d" % (f["severity"], f["line"], f["column"]) for f in json.load(open(sys.argv[1]))))' "$tmp/json")"
fi
# Warnings alone pass, unless --werror.
printf 'MES,a\r\nEOF\r\nEXIT\r\n' >"$tmp/game/vunt-n.zad"
limit "$bin/vunt-lint" "$tmp/game" >/dev/null 2>&1; check "warnings pass" 0 $?
limit "$bin/vunt-lint" --werror "$tmp/game" >/dev/null 2>&1; check "warnings fail with --werror" 1 $?
limit "$bin/vunt-lint" --bogus "$tmp/game" 2>/dev/null; check "unknown option" 2 $?
limit "$bin/vunt-lint" 2>/dev/null; check "lint usage" 2 $?
limit "$bin/vunt-lint" "$root/game" >"$tmp/out" 2>&1; check "bundled game has no findings" 0 $?
cat "$tmp/out"
exit $fail
