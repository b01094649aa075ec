#!/usr/bin/env bash
# --record: a play in the real window, driven by xdotool, is written as headless input that
# replays to the same transcript as the play's own headless input.
set -u
vunt=$1
source "$(dirname "$0")/lib/under_xvfb.bash"
mkdir "$tmp/game"
# A page, a menu and a page; no typing delay, so each event meets a wait.
printf '%s\r\n' 'MES,＃00＠00はじめ￥' 'CMST,1,＊右＊左' 'CMSL,1,7' 'CASE,100' 'LET,1,1' 'CASE,101' 'ENDCM' \
  'MES,＃00おわり￥' 'EXIT' | iconv -f UTF-8 -t CP932 >"$tmp/game/vunt-n.zad"
printf 'click\nlabel 1\nspace\n' >"$tmp/expected.txt"
limit 20 "$vunt" --headless --input "$tmp/expected.txt" "$tmp/game" >"$tmp/expected"

limit 60 "$vunt" --record "$tmp/record.txt" "$tmp/game" 2>"$tmp/err" &
pid=$!
wid=$(limit 20 xdotool search --sync --onlyvisible --name '^Vunt$' | head -1)
# Where the form lies in the window: the largest integer scale that fits, centred.
eval "$(xdotool getwindowgeometry --shell "$wid")"
scale=$(( WIDTH / 440 < HEIGHT / 384 ? WIDTH / 440 : HEIGHT / 384 )); [ "$scale" -ge 1 ] || scale=1
ox=$(( (WIDTH - 440 * scale) / 2 )); oy=$(( (HEIGHT - 384 * scale) / 2 ))
at() { xdotool mousemove --window "$wid" $((ox + $1 * scale)) $((oy + $2 * scale)); }
sleep 1
at 220 352; xdotool click 1      # the message area
sleep 0.7
at 168 304; xdotool click 1      # the second menu label
sleep 0.7
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key space
wait $pid; status=$?
[ $status = 0 ] && echo "ok   window play ends" || { echo "FAIL window play: status $status"; cat "$tmp/err"; fail=1; }
limit 20 "$vunt" --headless --input "$tmp/record.txt" "$tmp/game" >"$tmp/replayed"
grep -v "^#" "$tmp/record.txt" | paste -sd" " | grep -qx "click label 1 space" && echo "ok   the record: click label 1 space" || { echo "FAIL record:"; cat "$tmp/record.txt"; fail=1; }
if cmp -s "$tmp/expected" "$tmp/replayed"; then
  echo "ok   the record replays to the same transcript"
else
  echo "FAIL the record replays otherwise"; cat "$tmp/record.txt"; diff "$tmp/expected" "$tmp/replayed"; fail=1
fi
# A record that cannot be written (a full disk: /dev/full) is no success, and is said.
mkdir "$tmp/ends"
printf 'EXIT\r\n' >"$tmp/ends/vunt-n.zad"
limit 20 "$vunt" --record /dev/full "$tmp/ends" 2>"$tmp/err"; status=$?
[ $status = 1 ] && echo "ok   a record on a full disk ends with status 1" || { echo "FAIL full disk: status $status"; fail=1; }
grep -q "cannot write the record file /dev/full" "$tmp/err" && echo "ok   and says so" || { echo "FAIL full disk:"; cat "$tmp/err"; fail=1; }
exit $fail
