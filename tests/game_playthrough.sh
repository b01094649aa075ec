#!/usr/bin/env bash
# The bundled game played headless from start to end, as a player would: its three endings (the
# careful player's, the light without the care, the bonfire), each leading back to the title with
# the flags of a new game, the loop heard again after every effect, a saved game continued after a
# restart without the practice boards, a hand-written save out of range, the puzzle alone from the
# title with the way back out of it and back in at the board left, and the item menu before
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

# The longest stretch of pages, over the whole play, during which no looping sound plays: every
# effect stops the one sound channel's loop, and the script starts the loop again.
silence() {
  awk -F'\t' '$1 == "sound" { loop = ($3 % 16 >= 8); if (!loop) run = 0 }
              $1 == "page" { if (!loop) { run++; if (run > worst) worst = run } }
              END { print worst + 0 }' "$1"
}
# The flags once the ending has led back to the title: those of a new game, but for F27 (where the
# puzzle alone goes on).
new_flags() { tail -1 "$1" | cut -f2 | tr ' ' '\n' | awk 'NR != 28 && $1 != 0 { bad = 1 } END { print bad ? "no" : "yes" }'; }

# The careful player's ending: the logbook's last page and the chart read, the truth told to Tae,
# the cat fed three times, the key used from the item menu, the boat called on the radio, every
# board solved and the warning signal sent.
fresh
play true_ending true; check "true: status" 0 $?
has "true: EXIT" "$tmp/true" "end	EXIT"
check "true: the practice boards one at a time, then the real ones" "1 2 3 4 5 6 7 8" "$(stages "$tmp/true")"
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
has "true: the drawing of the machine in the picture window" "$tmp/true" "picture-window	zu.szg"
before "true: the key opens the door when used from the item menu" "$tmp/true" "^menu	真鍮の鍵|海図|戻る" "^page	.*真鍮の鍵を差しこんで回すと"
page "true: the reef read on the chart" "$tmp/true" "鬼の歯　嵐の夜は近づくな"
page "true: the signal read in the logbook" "$tmp/true" "灯を三度またたかせよ"
page "true: Tae's charm" "$tmp/true" "お守りのおかげで、チャンスが二回ふえた"
page "true: the boat called, so Genzo waits at sea" "$tmp/true" "波に船首を立てて、ここで待つんじゃ"
nopage "true: Souta does not panic after the call" "$tmp/true" "どっちへ行けばいいんだよ"
has "true: the signal offered" "$tmp/true" "menu	合図を送る|このまま見守る||"
page "true: Genzo praises the reading" "$tmp/true" "日誌の最後まで、よう読んだな"
has "true: the lit lighthouse" "$tmp/true" "picture	hikari.szg"
has "true: the morning after" "$tmp/true" "picture	asa.szg"
has "true: the puzzle music" "$tmp/true" "sound	A-PUZ1.wav	9"
page "true: Tae came" "$tmp/true" "気が気じゃなくてねえ"
page "true: the cat came along" "$tmp/true" "みんなの輪の中にいた"
page "true: ending 1 named" "$tmp/true" "ＥＮＤ１　しおみ岬の灯"
page "true: the bonfire's ending hinted at" "$tmp/true" "敗れた夜にも、もう一つの物語"
page "true: a blank line before the farewell" "$tmp/true" "おしまい|　　　　　　|　　　　　遊んでくれて"
has "true: the way back to the title offered" "$tmp/true" "menu	タイトルへ|おわる||"
check "true: at most two pages without the loop" yes "$([ "$(silence "$tmp/true")" -le 2 ] && echo yes || echo "no: $(silence "$tmp/true")")"
[ ! -e "$tmp/game/VUNT.DAT" ]; check "true: nothing saved" 0 $?

# The light without the care: no chart read, no last page, a fib to Tae, the key tried at the
# harbour first, the lamp room put off once; one board given up; back to the title afterwards.
fresh
play after_storm after; check "after: status" 0 $?
has "after: EOF from the title" "$tmp/after" "end	EOF"
check "after: stages" "1 2 3 4 5 5 6 7 8" "$(stages "$tmp/after")"
check "after: one attempt lost" 1 "$(grep -c 'LBHG(0)	失敗' "$tmp/after")"
page "after: the key is for the lighthouse" "$tmp/after" "灯台へ行ってから使おう"
page "after: the lamp room can wait" "$tmp/after" "もう少しだけ、準備をしてからにしよう"
page "after: Souta panics without the call" "$tmp/after" "どっちへ行けばいいんだよ"
check "after: no signal offered" 0 "$(grep -c '^menu	合図を送る' "$tmp/after")"
nopage "after: no charm" "$tmp/after" "お守りのおかげ"
page "after: the reef hit" "$tmp/after" "岩だ！　底をこすった！"
before "after: the hug before the words" "$tmp/after" "^page	.*何も言わずに" "^page	.*よう灯をともしてくれた"
page "after: the fib owned up to" "$tmp/after" "ごめんなさい"
page "after: the logbook's last page shown to one who never read it" "$tmp/after" "……知らなかった。ちゃんと読んでたら"
page "after: ending 2 named" "$tmp/after" "ＥＮＤ２　嵐のあと"
check "after: back at the title after the ending" 2 "$(grep -c '^picture	title.szg' "$tmp/after")"
check "after: the flags of a new game at the title" yes "$(new_flags "$tmp/after")"
check "after: at most two pages without the loop" yes "$([ "$(silence "$tmp/after")" -le 2 ] && echo yes || echo "no: $(silence "$tmp/after")")"

# The bonfire: a practice board lost (a trap, then Esc), then every real chance given up. Nothing
# was saved, so the closing must not send the player to "つづきから".
fresh
play bonfire fire; check "fire: status" 0 $?
has "fire: EXIT" "$tmp/fire" "end	EXIT"
check "fire: the trap blinked three times" 6 "$(grep -c '^sound	L-batu.wav	0' "$tmp/fire")"
check "fire: nine attempts at stage 3, eight at stage 5" "9 8" \
  "$(grep -c '^stage	3$' "$tmp/fire") $(grep -c '^stage	5$' "$tmp/fire")"
page "fire: the practice goes on after a lost board" "$tmp/fire" "穴、こわい"
has "fire: the bonfire" "$tmp/fire" "picture	takibi.szg"
page "fire: Tae brought the island" "$tmp/fire" "みんなを連れてきたよ"
page "fire: ending 3 named" "$tmp/fire" "ＥＮＤ３　小さな焚き火"
nopage "fire: no hint at the ending just seen" "$tmp/fire" "敗れた夜にも"
nopage "fire: no つづきから without a save" "$tmp/fire" "「つづきから」"
page "fire: はじめから instead" "$tmp/fire" "タイトルの「はじめから」へ"
check "fire: the flags of a new game" yes "$(new_flags "$tmp/fire")"
check "fire: at most two pages without the loop" yes "$([ "$(silence "$tmp/fire")" -le 2 ] && echo yes || echo "no: $(silence "$tmp/fire")")"

# Saving in front of the lamp room, closing, and continuing from the title after a restart: the
# practice boards may then be skipped.
fresh
play save save; check "save: status" 0 $?
page "save: no save yet" "$tmp/save" "まだ記録がありません。"
has "save: closed" "$tmp/save" "end	close"
check "save: F29 in the file" " 1" "$(sed -n 30p "$tmp/game/VUNT.DAT" | tr -d '\r')"
check "save: F1 at the lighthouse" " 3" "$(sed -n 2p "$tmp/game/VUNT.DAT" | tr -d '\r')"
play continue cont; check "continue: status" 0 $?
page "continue: resumed" "$tmp/cont" "記録したところから、つづきを始めます。"
check "continue: back at the lighthouse" "picture	todai.szg" "$(grep '^picture' "$tmp/cont" | sed -n 2p)"
has "continue: the practice may be skipped" "$tmp/cont" "menu	練習盤から|本物の盤へ||"
check "continue: straight to the real boards" "5 5 5 5 5 5" "$(stages "$tmp/cont")"
has "continue: EXIT" "$tmp/cont" "end	EXIT"
page "continue: the bonfire" "$tmp/cont" "ＥＮＤ３　小さな焚き火"
page "continue: つづきから offered after a save" "$tmp/cont" "タイトルの「つづきから」へ"
nopage "continue: the fib kept: Tae does not come" "$tmp/cont" "みんなを連れてきたよ"

# A save file written by hand with a place out of range counts as no save, instead of stopping the
# game at the first table that the place indexes.
fresh
printf ' 0\r\n 0\r\n 0\r\n 0\r\n 1\r\n 0\r\n 0\r\n 3\r\n' >"$tmp/game/VUNT.DAT"
for i in $(seq 9 31); do printf ' %d\r\n' "$([ "$i" = 30 ] && echo 1 || echo 0)" >>"$tmp/game/VUNT.DAT"; done
printf 'label 1\nclick\nlabel 3\n' >"$tmp/bad.in"
limit "$vunt" --headless --input "$tmp/bad.in" "$tmp/game" >"$tmp/bad" 2>&1; check "bad save: status" 0 $?
page "bad save: counts as none" "$tmp/bad" "まだ記録がありません。"

# The puzzle alone from the title: a menu before each stage, "タイトルへ" leads back out, and a
# level chosen again starts at the board it was left or lost on.
fresh
play challenge chal; check "challenge: status" 0 $?
check "challenge: stages" "1 2 3 9 10 10 10 10 10 10 10 10 10" "$(stages "$tmp/chal")"
check "challenge: back to the title" 5 "$(grep -c '^picture	title.szg' "$tmp/chal")"
page "challenge: the lost board named" "$tmp/chal" "次は、この盤から始められます"
check "challenge: resumed twice" 2 "$(grep -c '^page	.*前にやめた盤から、つづけます' "$tmp/chal")"
check "challenge: resumed at the lost board" "caption	LBHG(2)	10" "$(grep '^caption	LBHG(2)' "$tmp/chal" | tail -1)"
has "challenge: EOF" "$tmp/chal" "end	EOF"

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
