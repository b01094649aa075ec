#!/usr/bin/env bash
# A box inside the game's window does not hold the program: closing the window, SIGTERM or
# SIGINT while a box waits ends it at once. After the "Zad ERROR" box the status is 1 (as after
# its OK); after a notice (a save that failed) it is the window's close: status 0, and no later
# script line runs.
set -u
vunt=$1
source "$(dirname "$0")/lib/window_manager.bash"
command -v wmctrl >/dev/null || { echo "wmctrl is not installed"; exit 1; }
mkdir "$tmp/error" "$tmp/notice"
printf 'DO\r\nFOO\r\n' >"$tmp/error/vunt-n.zad"
# The save cannot replace a directory; the missing picture after it would end in an error box.
printf 'SAVE\r\nGHG,missing\r\nEOF\r\n' >"$tmp/notice/vunt-n.zad"
mkdir "$tmp/notice/VUNT.DAT"

for game in error notice; do
  expect=$([ $game = error ] && echo 1 || echo 0)
  for how in close TERM INT; do
    timeout -k 1 30 "$vunt" "$tmp/$game" 2>/dev/null &
    pid=$!
    wid=$(window_named Vunt $pid)
    [ -n "$wid" ] || { bad "$game/$how: no window"; kill $pid; continue; }
    box_shown "$wid" || bad "$game/$how: no box in the window"
    start=$(date +%s%N)
    case $how in
      close) wmctrl -i -c "$wid" ;;
      # The game itself, not the timeout around it: timeout passes a signal on to its whole
      # process group as well, and a second signal arriving after SDL has given back the default
      # handlers on its way out would end the game by the signal instead.
      *) kill -$how "$(pgrep -P $pid || echo $pid)" ;;
    esac
    wait_end $pid 10
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    check "$game box, $how: status" "$expect" $status
    # Promptly: well within the 10 s given (the time is said, not judged: machines differ).
    echo "     $game box, $how: ended after ${ms} ms"
  done
done
exit $fail
