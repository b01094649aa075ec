#!/usr/bin/env bash
# The authors' tools in the real window: --break pauses at a label and opens the F12 console, the
# console's line takes typed commands (a flag set with "=", which has no key code of its own), the
# game plays on with "c", and --watch reloads the edited source while the game waits.
set -u
vunt=$1
source "$(dirname "$0")/lib/under_xvfb.bash"
bin=$(dirname "$(realpath "$vunt")")
mkdir -p "$tmp/game"
printf '%s\n' 'MES,＆0ナギサ' 'LET,1,7' 'MES,：0港に着いた。￥' ':lamp' 'MES,：0灯室の扉だ。￥' 'EXIT' >"$tmp/game/story.txt"
"$bin/vunt-asm" "$tmp/game/story.txt" >/dev/null
check() { if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; fail=1; fi; }

limit 60 "$vunt" --scale 1 --trace --watch --break lamp "$tmp/game" 2>"$tmp/err" &
pid=$!
wid=$(limit 20 xdotool search --sync --onlyvisible --name '^Vunt$' | head -1)
sleep 1
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key space; sleep 1                    # the first page; then the break before lamp
grep -q "stopped at line 4 (story.txt:5): break lamp" "$tmp/err"; check "the break stops at the label" 0 $?
xdotool type --delay 40 "F4=5"; xdotool key Return; sleep 0.5
sed -i 's/灯室の扉だ。/灯室の扉が開いた。/' "$tmp/game/story.txt"
sleep 1                                       # --watch sees the change
grep -q "vunt: reloaded 5 lines" "$tmp/err"; check "--watch reloads the edited source" 0 $?
xdotool type --delay 40 "c"; xdotool key Return; sleep 0.5
xdotool key space                             # the last page, then EXIT
wait $pid; check "the game ends" 0 $?
grep -qP "^flag\t4\t0\t5$" "$tmp/err"; check "the console set F4" 0 $?
iconv -f CP932 -t UTF-8 "$tmp/game/vunt-n.zad" | grep -q "灯室の扉が開いた"; check "the new script is written" 0 $?
[ ! -e "$tmp/game/VUNT.DAT" ]; check "no save file" 0 $?
exit $fail
