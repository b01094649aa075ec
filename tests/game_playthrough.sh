#!/usr/bin/env bash
# The bundled game played headless from start to end, as a player would: the good ending with the
# puzzle solved, the other ending with the puzzle lost, and a saved game continued after a restart.
# Also: the script in game/ is the assembly of its source, and the authoring tools find nothing
# wrong with the game. The input files are made by tools/game/walkthrough.py from the .plan files.
set -u
vunt=$1
root=$2
build=$(dirname "$vunt")
data=$root/tests/data/game
source "$(dirname "$0")/lib/limits.bash"
fail=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then echo "FAIL $1: expected [$2], got [$3]"; fail=1; else echo "ok   $1"; fi
}
has() {  # has NAME FILE LINE: the transcript holds exactly this line
  if grep -qxF -- "$3" "$2"; then echo "ok   $1"; else echo "FAIL $1: no line [$3]"; fail=1; fi
}
flag() {  # flag FILE N: flag N of the transcript's last line
  tail -1 "$1" | cut -f2 | tr ' ' '\n' | sed -n "$(($2 + 1))p"
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# A copy of the game, so that the save file is never written into the repository.
play() {  # play INPUT OUT: status of a headless run in the copy
  limit "$vunt" --headless --input "$data/$1.txt" "$tmp/game" >"$tmp/$2" 2>"$tmp/$2.err"
}
fresh() { rm -rf "$tmp/game" && cp -r "$root/game" "$tmp/game" && rm -f "$tmp/game/VUNT.DAT"; }

# The good ending: every place visited, the cat fed three times, stages 1 to 5 solved.
fresh
play good_ending good; check "good: status" 0 $?
has "good: EXIT" "$tmp/good" "end	EXIT"
check "good: stages in order" "1 2 3 4 5" "$(grep '^stage' "$tmp/good" | cut -f2 | tr '\n' ' ' | sed 's/ $//')"
check "good: no attempt lost" 0 "$(grep -c 'LBHG(0)	失敗' "$tmp/good")"
has "good: the sea chart in the picture window" "$tmp/good" "picture-window	kaizu.szg"
has "good: the lit lighthouse" "$tmp/good" "picture	hikari.szg"
has "good: the puzzle music" "$tmp/good" "sound	A-PUZ1.wav	9"
has "good: the last stage won" "$tmp/good" "caption	LBHG(0)	勝利"
grep -q "^page	.*ＥＮＤ１　しおみ岬の灯" "$tmp/good"; check "good: ending 1 named" 0 $?
grep -q "^page	「コハク」ニャア。|.*みんなの輪の中にいた。" "$tmp/good"; check "good: the cat came along" 0 $?
check "good: F21 won" 1 "$(flag "$tmp/good" 21)"
check "good: F28 ending 1" 1 "$(flag "$tmp/good" 28)"
check "good: F13 three sardines" 3 "$(flag "$tmp/good" 13)"
check "good: F20 chances kept" 5 "$(flag "$tmp/good" 20)"
[ ! -e "$tmp/game/VUNT.DAT" ]; check "good: nothing saved" 0 $?

# The other ending: a ring in a trap, then every chance given up.
fresh
play bad_ending bad; check "bad: status" 0 $?
has "bad: EXIT" "$tmp/bad" "end	EXIT"
check "bad: five attempts lost at stage 3" 5 "$(grep -c 'LBHG(0)	失敗' "$tmp/bad")"
check "bad: the trap blinked" 6 "$(grep -c '^sound	L-batu.wav	0' "$tmp/bad")"
has "bad: the bonfire" "$tmp/bad" "picture	takibi.szg"
grep -q "^page	.*ＥＮＤ２　小さな焚き火" "$tmp/bad"; check "bad: ending 2 named" 0 $?
check "bad: F21 lost" 0 "$(flag "$tmp/bad" 21)"
check "bad: F20 back to 9" 9 "$(flag "$tmp/bad" 20)"
check "bad: F28 ending 2" 2 "$(flag "$tmp/bad" 28)"

# Saving in front of the lamp room, closing, and continuing from the title after a restart.
fresh
play save save; check "save: status" 0 $?
grep -q "^page	.*まだ記録がありません。" "$tmp/save"; check "save: no save yet" 0 $?
has "save: closed" "$tmp/save" "end	close"
check "save: F29 in the file" " 1" "$(sed -n 30p "$tmp/game/VUNT.DAT" | tr -d '\r')"
check "save: F1 at the lighthouse" " 3" "$(sed -n 2p "$tmp/game/VUNT.DAT" | tr -d '\r')"
play continue cont; check "continue: status" 0 $?
grep -q "^page	.*記録したところから、つづきを始めます。" "$tmp/cont"; check "continue: resumed" 0 $?
check "continue: back at the lighthouse" "picture	todai.szg" "$(grep '^picture' "$tmp/cont" | sed -n 2p)"
has "continue: EXIT" "$tmp/cont" "end	EXIT"
check "continue: F21 won" 1 "$(flag "$tmp/cont" 21)"
check "continue: F12 the sardine kept" 1 "$(flag "$tmp/cont" 12)"

# The puzzle alone from the title: the level chosen in a submenu, stages 1 to 4, EOF to quit.
fresh
play challenge chal; check "challenge: status" 0 $?
check "challenge: stages" "1 2 3 4" "$(grep '^stage' "$tmp/chal" | cut -f2 | tr '\n' ' ' | sed 's/ $//')"
grep -q "^page	.*みごと！　すべての盤を解きました。" "$tmp/chal"; check "challenge: won" 0 $?
check "challenge: back to the title" 2 "$(grep -c '^picture	title.szg' "$tmp/chal")"
has "challenge: EOF" "$tmp/chal" "end	EOF"
check "challenge: F25 F26" "1 4" "$(flag "$tmp/chal" 25) $(flag "$tmp/chal" 26)"

# One source of truth: game/vunt-n.zad is what the assembler makes of tools/game/story.txt.
if command -v python3 >/dev/null; then
  limit python3 "$root/tools/game/make_script.py" "$root/tools/game/story.txt" "$tmp/vunt-n.zad" >/dev/null
  cmp -s "$tmp/vunt-n.zad" "$root/game/vunt-n.zad"; check "script assembled from its source" 0 $?
fi

# The game shows every command of the script language at work (the list is the engine's own
# command table).
words=$(iconv -f CP932 -t UTF-8 "$root/game/vunt-n.zad" | cut -d, -f1 | tr -d '\r' | sort -u)
if [ -x "$build/vunt-lint" ]; then
  commands=$(limit "$build/vunt-lint" --commands | cut -f1)
  check "forty commands" 40 "$(echo "$commands" | wc -l)"
  for w in $commands; do
    echo "$words" | grep -qx "$w" || { echo "FAIL the script never uses $w"; fail=1; }
  done
fi

# The authoring tools, where they are built: no finding on the game, every stage solvable and
# none solved in one move.
if [ -x "$build/vunt-lint" ]; then
  limit "$build/vunt-lint" "$root/game" >"$tmp/lint" 2>&1; check "lint: status" 0 $?
  check "lint: findings" "" "$(cat "$tmp/lint")"
fi
if [ -x "$build/vunt-stage" ]; then
  limit "$build/vunt-stage" solve "$root/game/vunt.pdt" >"$tmp/solve" 2>&1; check "stages: solver status" 0 $?
  check "stages: none unsolvable" 0 "$(grep -ci unsolvable "$tmp/solve")"
  moves=$(sed -n 's/^stage [0-9]*: \([0-9]*\) moves.*/\1/p' "$tmp/solve" | tr '\n' ' ')
  check "stages: twelve, none in one move, rising" "12 yes" \
    "$(echo $moves | awk '{ ok = "yes"; for (i = 1; i <= NF; i++) { if ($i < 2 || (i > 1 && $i < $(i - 1))) ok = "no" } print NF, ok }')"
fi
exit $fail
