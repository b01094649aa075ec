#!/usr/bin/env bash
# A settings file that cannot be written is told in the window, not only on standard error: the
# player changes a setting (F2, →, Esc), the write fails (a file stands where the settings folder
# would be), and a box covers the middle of the game until it is dismissed.
set -u
vunt=$1
source "$(dirname "$0")/lib/under_xvfb.bash"
export XDG_CONFIG_HOME=$tmp/not-a-folder
echo "a file, not a folder" >"$XDG_CONFIG_HOME"
mkdir -p "$tmp/game"
printf '%s\r\n' 'MES,＃00＠00いち￥' 'EXIT' | iconv -f UTF-8 -t CP932 >"$tmp/game/vunt-n.zad"
limit 60 "$vunt" --scale 1 "$tmp/game" 2>"$tmp/err" &
pid=$!
wid=$(limit 20 xdotool search --sync --onlyvisible --name '^Vunt$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$wid")"
sleep 1
xdotool windowfocus --sync "$wid" 2>/dev/null
pixel() { import -window root -crop "1x1+$((X + (WIDTH - 440) / 2 + $1))+$((Y + (HEIGHT - 384) / 2 + $2))" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}' | head -1; }
check() { if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; fail=1; fi; }
before=$(pixel 220 180)
xdotool key F2; sleep 0.5
xdotool key Right; sleep 0.3
xdotool key Escape; sleep 0.8
with_box=$(pixel 220 180)
[ -n "$before" ] && [ "$before" != "$with_box" ] && echo "ok   a box shows the failed write" ||
  { echo "FAIL no box: $before then $with_box"; fail=1; }
xdotool key Return; sleep 0.5
check "the box is dismissed" "$before" "$(pixel 220 180)"
xdotool key space; sleep 0.3
wait $pid; check "the game goes on to its end" 0 $?
grep -q "cannot save the settings" "$tmp/err"; check "standard error names the failure" 0 $?
exit $fail
