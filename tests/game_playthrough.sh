#!/usr/bin/env bash
# The bundled game played headless from start to end, as a player would: its three endings (the
# careful player's, the light without the care, the bonfire), a saved game continued after a
# restart, the puzzle alone from the title and the way back out of it, and the item menu before
# anything is found. Also: the script in game/ is the assembly of its source, and the authoring
# tools find nothing wrong with the game. The input files are made by tools/game/make_inputs.sh
# from the .plan files; their "solve N" lines become the solver's keys here.
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
page() {  # page NAME FILE TEXT: some page holds the text
  if grep -q "^page	.*$3" "$2"; then echo "ok   $1"; else echo "FAIL $1: no page with [$3]"; fail=1; fi
}
nopage() {  # nopage NAME FILE TEXT: no page holds the text
  if grep -q "^page	.*$3" "$2"; then echo "FAIL $1: a page with [$3]"; fail=1; else echo "ok   $1"; fi
}
before() {  # before NAME FILE FIRST SECOND: the first line matching FIRST comes before SECOND's
  local a b
  a=$(grep -n -m1 -- "$3" "$2" | cut -d: -f1)
  b=$(grep -n -m1 -- "$4" "$2" | cut -d: -f1)
  if [ -n "$a" ] && [ -n "$b" ] && [ "$a" -lt "$b" ]; then echo "ok   $1"; else echo "FAIL $1: [$3] at ${a:-none}, [$4] at ${b:-none}"; fail=1; fi
}
flag() {  # flag FILE N: flag N of the transcript's last line
  tail -1 "$1" | cut -f2 | tr ' ' '\n' | sed -n "$(($2 + 1))p"
}
stages() { grep '^stage' "$1" | cut -f2 | tr '\n' ' ' | sed 's/ $//'; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# A copy of the game, so that the save file is never written into the repository.
play() {  # play INPUT OUT: status of a headless run in the copy
  if [ -x "$build/vunt-stage" ]; then
    limit "$root/tools/game/expand_input.sh" "$build/vunt-stage" "$tmp/game/vunt.pdt" <"$data/$1.txt" >"$tmp/$1.in" || return 99
  else
    grep -v '^solve ' "$data/$1.txt" >"$tmp/$1.in"
  fi
  limit "$vunt" --headless --input "$tmp/$1.in" "$tmp/game" >"$tmp/$2" 2>"$tmp/$2.err"
}
fresh() { rm -rf "$tmp/game" && cp -r "$root/game" "$tmp/game" && rm -f "$tmp/game/VUNT.DAT"; }
if [ ! -x "$build/vunt-stage" ]; then echo "vunt-stage is not built: the playthroughs need its solver"; exit 1; fi

# The careful player's ending: the logbook's last page and the chart read, the truth told to Tae,
# the cat fed three times, every board solved and the warning signal sent.
fresh
play true_ending true; check "true: status" 0 $?
has "true: EXIT" "$tmp/true" "end	EXIT"
check "true: the practice boards one at a time, then the real ones" "1 2 3 4 7 8 9 10" "$(stages "$tmp/true")"
check "true: no attempt lost" 0 "$(grep -c 'LBHG(0)	失敗' "$tmp/true")"
before "true: Souta introduced before he speaks" "$tmp/true" "^page	.*いとこのソウタは十四歳" "^page	「ソウタ」"
before "true: the boat introduced before the radio" "$tmp/true" "^page	.*漁船「はやて丸」" "^page	ザザッ"
before "true: Tae introduced before she speaks" "$tmp/true" "^page	.*雑貨屋「たえや」のタエ婆は" "^page	「タエ婆」"
before "true: Kohaku introduced before she speaks" "$tmp/true" "^page	.*タエ婆の店の猫、コハクだ" "^page	「コハク」"
before "true: rule one before stage 1" "$tmp/true" "^page	『灯台日誌　その一』" "^stage	1$"
before "true: the cost of Esc before stage 1" "$tmp/true" "^page	.*Escを押すと.*チャンスを一回使います" "^stage	1$"
before "true: rule two between stages 1 and 2" "$tmp/true" "^stage	1$" "^page	『灯台日誌　その二』"
before "true: rule two before stage 2" "$tmp/true" "^page	『灯台日誌　その二』" "^stage	2$"
before "true: rule three before stage 3" "$tmp/true" "^page	『灯台日誌　その三』" "^stage	3$"
before "true: rule four before stage 4" "$tmp/true" "^page	『灯台日誌　その四』" "^stage	4$"
has "true: the sea chart in the picture window" "$tmp/true" "picture-window	kaizu.szg"
page "true: the reef read on the chart" "$tmp/true" "鬼の歯　嵐の夜は近づくな"
page "true: the signal read in the logbook" "$tmp/true" "灯を三度またたかせよ"
page "true: Tae's charm" "$tmp/true" "お守りのおかげで、チャンスが二回ふえた"
has "true: the signal offered" "$tmp/true" "menu	合図を送る|このまま見守る||"
has "true: the lit lighthouse" "$tmp/true" "picture	hikari.szg"
has "true: the puzzle music" "$tmp/true" "sound	A-PUZ1.wav	9"
page "true: Tae came, told the truth" "$tmp/true" "正直に話してくれたから"
page "true: the cat came along" "$tmp/true" "みんなの輪の中にいた"
page "true: ending 1 named" "$tmp/true" "ＥＮＤ１　しおみ岬の灯"
page "true: a blank line before the farewell" "$tmp/true" "おしまい|　　　　　　|　　　　　遊んでくれて"
check "true: F21 won, F28 ending 1" "1 1" "$(flag "$tmp/true" 21) $(flag "$tmp/true" 28)"
check "true: F15 F16 F17 F19 reef, signal, truth, sent" "1 1 1 1" \
  "$(flag "$tmp/true" 15) $(flag "$tmp/true" 16) $(flag "$tmp/true" 17) $(flag "$tmp/true" 19)"
check "true: F13 three sardines" 3 "$(flag "$tmp/true" 13)"
check "true: F20 seven chances kept" 7 "$(flag "$tmp/true" 20)"
[ ! -e "$tmp/game/VUNT.DAT" ]; check "true: nothing saved" 0 $?

# The light without the care: no chart read, no last page, a fib to Tae; one board given up.
fresh
play after_storm after; check "after: status" 0 $?
has "after: EXIT" "$tmp/after" "end	EXIT"
check "after: stages" "1 2 3 4 7 7 8 9 10" "$(stages "$tmp/after")"
check "after: one attempt lost" 1 "$(grep -c 'LBHG(0)	失敗' "$tmp/after")"
check "after: no signal offered" 0 "$(grep -c '^menu	合図を送る' "$tmp/after")"
nopage "after: no charm" "$tmp/after" "お守りのおかげ"
page "after: the reef hit" "$tmp/after" "岩だ！　底をこすった！"
page "after: the fib owned up to" "$tmp/after" "ごめんなさい"
page "after: the logbook's last page shown to one who never read it" "$tmp/after" "……知らなかった。ちゃんと読んでたら"
page "after: ending 2 named" "$tmp/after" "ＥＮＤ２　嵐のあと"
check "after: F21 won, F28 ending 2" "1 2" "$(flag "$tmp/after" 21) $(flag "$tmp/after" 28)"
check "after: F17 fib, F19 no signal" "2 0" "$(flag "$tmp/after" 17) $(flag "$tmp/after" 19)"
check "after: F20 four chances left" 4 "$(flag "$tmp/after" 20)"

# The bonfire: a practice board lost (a trap, then Esc), then every real chance given up. Nothing
# was saved, so the closing must not send the player to "つづきから".
fresh
play bonfire fire; check "fire: status" 0 $?
has "fire: EXIT" "$tmp/fire" "end	EXIT"
check "fire: the trap blinked three times" 6 "$(grep -c '^sound	L-batu.wav	0' "$tmp/fire")"
check "fire: nine attempts at stage 3, seven at stage 7" "9 7" \
  "$(grep -c '^stage	3$' "$tmp/fire") $(grep -c '^stage	7$' "$tmp/fire")"
page "fire: the practice goes on after a lost board" "$tmp/fire" "穴、こわい"
has "fire: the bonfire" "$tmp/fire" "picture	takibi.szg"
page "fire: Tae brought the island" "$tmp/fire" "みんなを連れてきたよ"
page "fire: ending 3 named" "$tmp/fire" "ＥＮＤ３　小さな焚き火"
nopage "fire: no つづきから without a save" "$tmp/fire" "「つづきから」"
page "fire: はじめから instead" "$tmp/fire" "タイトルの「はじめから」へ"
check "fire: F21 lost, F28 ending 3" "0 3" "$(flag "$tmp/fire" 21) $(flag "$tmp/fire" 28)"
check "fire: F20 back to 9" 9 "$(flag "$tmp/fire" 20)"

# Saving in front of the lamp room, closing, and continuing from the title after a restart.
fresh
play save save; check "save: status" 0 $?
page "save: no save yet" "$tmp/save" "まだ記録がありません。"
has "save: closed" "$tmp/save" "end	close"
check "save: F29 in the file" " 1" "$(sed -n 30p "$tmp/game/VUNT.DAT" | tr -d '\r')"
check "save: F1 at the lighthouse" " 3" "$(sed -n 2p "$tmp/game/VUNT.DAT" | tr -d '\r')"
play continue cont; check "continue: status" 0 $?
page "continue: resumed" "$tmp/cont" "記録したところから、つづきを始めます。"
check "continue: back at the lighthouse" "picture	todai.szg" "$(grep '^picture' "$tmp/cont" | sed -n 2p)"
has "continue: EXIT" "$tmp/cont" "end	EXIT"
check "continue: F21 lost, F28 ending 3" "0 3" "$(flag "$tmp/cont" 21) $(flag "$tmp/cont" 28)"
page "continue: つづきから offered after a save" "$tmp/cont" "タイトルの「つづきから」へ"
check "continue: F17 the fib kept" 2 "$(flag "$tmp/cont" 17)"

# The puzzle alone from the title: a menu before each stage, and "タイトルへ" leads back out.
fresh
play challenge chal; check "challenge: status" 0 $?
check "challenge: stages" "1 2" "$(stages "$tmp/chal")"
check "challenge: a menu before each stage" 3 "$(grep -c '^menu	挑む|タイトルへ' "$tmp/chal")"
check "challenge: back to the title" 2 "$(grep -c '^picture	title.szg' "$tmp/chal")"
has "challenge: EOF" "$tmp/chal" "end	EOF"
check "challenge: F25 F26" "3 8" "$(flag "$tmp/chal" 25) $(flag "$tmp/chal" 26)"

# The item menu before anything is found: empty labels enabled by the right button print nothing.
fresh
play items items; check "items: status" 0 $?
has "items: closed" "$tmp/items" "end	close"
check "items: no item's text" 0 "$(grep -c '^page	.*\(煮干し\|真鍮の鍵\|海図\)' "$tmp/items")"

# One source of truth: game/vunt-n.zad is what the assembler makes of tools/game/story.txt.
limit "$build/vunt-asm" "$root/tools/game/story.txt" -o "$tmp/vunt-n.zad" >/dev/null
cmp -s "$tmp/vunt-n.zad" "$root/game/vunt-n.zad"; check "script assembled from its source" 0 $?

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

# The authoring tools: no finding on the game, every stage solvable and none solved in one move.
if [ -x "$build/vunt-lint" ]; then
  limit "$build/vunt-lint" "$root/game" >"$tmp/lint" 2>&1; check "lint: status" 0 $?
  check "lint: findings" "" "$(cat "$tmp/lint")"
fi
limit "$build/vunt-stage" solve "$root/game/vunt.pdt" >"$tmp/solve" 2>&1; check "stages: solver status" 0 $?
check "stages: none unsolvable" 0 "$(grep -ci unsolvable "$tmp/solve")"
check "stages: none in one move" 0 "$(grep -c '^stage [0-9]*: [01] moves' "$tmp/solve")"
exit $fail
