#!/usr/bin/env bash
# On a screen too small for twice the game's size (800 x 600: 80 % of it is 640 x 480) the window
# opens at the game's own size, and that is its minimum.
set -u
vunt=$1
screen=800x600
source "$(dirname "$0")/lib/window_manager.bash"
mkdir "$tmp/game"
printf 'MES,小さな画面￥\r\nEOF\r\n' >"$tmp/game/vunt-n.zad"
timeout -k 1 20 "$vunt" "$tmp/game" 2>"$tmp/err" &
pid=$!
main=$(window_named Vunt $pid)
if [ -n "$main" ]; then
  sleep 0.3
  check "opens at the game's size" 440x384 "$(geometry "$main" | cut -d+ -f1)"
  check "minimum size" 440x384 "$(xprop -id "$main" WM_NORMAL_HINTS | awk '/minimum size/ {print $(NF-2) "x" $NF}')"
else
  bad "no window"
fi
kill $pid 2>/dev/null
wait_end $pid 5
exit $fail
