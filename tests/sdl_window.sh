#!/usr/bin/env bash
# The real window: it runs a script to its end, and a script error shows the "Zad ERROR" box
# drawn inside the game's window at the game's scale; its OK button, Enter, Space and Esc each
# dismiss it, and the program then ends with status 1.
set -u
vunt=$1
source "$(dirname "$0")/lib/window_manager.bash"
mkdir "$tmp/ok" "$tmp/bad"
printf 'DO\r\nEOF\r\n' >"$tmp/ok/vunt-n.zad"
printf 'DO\r\nFOO\r\n' >"$tmp/bad/vunt-n.zad"

timeout -k 1 20 "$vunt" "$tmp/ok"
check "window run to EOF" 0 $?

# On a 1280 x 1024 screen the window opens at twice the game's size. The box is centred on the
# game; its OK button is centred at (220, 221).
for how in ok-button enter space esc; do
  timeout -k 1 30 "$vunt" "$tmp/bad" 2>"$tmp/err" &
  pid=$!
  wid=$(window_named Vunt $pid)
  [ -n "$wid" ] || { bad "$how: no window"; kill $pid; continue; }
  if box_shown "$wid"; then
    IFS='x+' read -r w h x y <<<"$(geometry "$wid")"
    [ "$how" = ok-button ] && check "window at twice the game's size" 880x768 "${w}x$h"
    case $how in
      ok-button) xdotool mousemove $((x + 2 * 220)) $((y + 2 * 221)) click 1 ;;
      enter) xdotool windowactivate --sync "$wid" key Return ;;
      space) xdotool windowactivate --sync "$wid" key space ;;
      esc) xdotool windowactivate --sync "$wid" key Escape ;;
    esac
  else
    bad "$how: no box in the window"
  fi
  wait_end $pid 5
  check "$how dismisses the box, status 1" 1 $status
done
grep -q "命令無し( 2)" "$tmp/err" && ok "report on stderr" || bad "no report on stderr"
exit $fail
