#!/usr/bin/env bash
# The picture window (GHGD) and the keyboard, under a window manager: while it is shown, F11 still
# toggles full screen, a click on the main window gives the main window the keyboard, and F1
# opens the key help; a picture window dismissed while both windows were minimised (a key sent by
# a remote tool) stays hidden when the game comes back, instead of standing unpainted over it.
set -u
vunt=$1
source "$(dirname "$0")/lib/window_manager.bash"
mkdir "$tmp/game"
convert -size 320x200 xc:'#C03020' "png:$tmp/game/pic.szg"
printf 'MES,はじめ￥\r\nGHGD,pic\r\nMES,つぎ￥\r\nGHGD,pic\r\nMES,おわり￥\r\nEOF\r\n' >"$tmp/game/vunt-n.zad"

# Clicks the message area of the main window $1 until the picture window of process $2 shows;
# prints its id.
picture_window() {
  local w h x y pic=""
  for _ in $(seq 20); do
    IFS='x+' read -r w h x y <<<"$(geometry "$1")"
    xdotool mousemove $((x + w / 2)) $((y + h / 2 + 170 * 2)) click 1
    pic=$(xdotool search --all --onlyvisible --pid "$(pgrep -P "$2" | head -1)" --name '^Form1$' 2>/dev/null | head -1)
    [ -n "$pic" ] && break
    sleep 0.3
  done
  echo "$pic"
}
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }

timeout -k 1 60 "$vunt" "$tmp/game" 2>"$tmp/err" &
pid=$!
main=$(window_named Vunt $pid)
[ -n "$main" ] || { bad "no main window"; exit 1; }
windowed=$(geometry "$main")
pic=$(picture_window "$main" $pid)
[ -n "$pic" ] || { bad "no picture window"; kill $pid; exit 1; }
sleep 0.5

# F11 typed while the picture window has the keyboard.
xdotool windowactivate --sync "$pic" key F11 2>/dev/null
for _ in $(seq 50); do [ "$(geometry "$main")" = 1280x1024+0+0 ] && break; sleep 0.1; done
check "F11 in the picture window: full screen" 1280x1024+0+0 "$(geometry "$main")"
wait_pixel 320 300 '#C03020' && ok "full screen: the picture inside the game" || bad "full screen: no picture ($(pixel 320 300))"
xdotool key F11
for _ in $(seq 50); do [ "$(geometry "$main")" = "$windowed" ] && break; sleep 0.1; done
check "F11 again: back to the window" "$windowed" "$(geometry "$main")"
for _ in $(seq 50); do viewable "$pic" && break; sleep 0.1; done
viewable "$pic" && ok "the picture window again" || bad "no picture window after full screen"

# A click on the main window beside the picture gives it the keyboard; the picture stays.
IFS='x+' read -r w h x y <<<"$(geometry "$main")"
xdotool mousemove $((x + 10)) $((y + 10)) click 1
focused=""
for _ in $(seq 30); do focused=$(xdotool getwindowfocus 2>/dev/null); [ "$focused" = "$main" ] && break; sleep 0.1; done
check "a click on the main window gives it the keyboard" "$main" "$focused"
viewable "$pic" && ok "the picture stays after the click" || bad "the picture window went away at the click"
# F1 there: the key help over the game; the picture window steps aside while it is up.
xdotool key F1
for _ in $(seq 30); do viewable "$pic" || break; sleep 0.1; done
viewable "$pic" && bad "F1: the picture window covers the key help" || ok "F1: the key help, the picture window aside"
import -window root "$tmp/help.png"
xdotool key Escape
for _ in $(seq 30); do viewable "$pic" && break; sleep 0.1; done
viewable "$pic" && ok "the key help closed: the picture window back" || bad "the picture window stays away after the help"
# Its key: Space closes it.
xdotool key space
for _ in $(seq 30); do viewable "$pic" || break; sleep 0.1; done
viewable "$pic" && bad "Space does not close the picture" || ok "Space closes the picture"

# The next picture: both windows minimised, a remote tool's key closes it, the game comes back.
xdotool key space
pic=""
for _ in $(seq 30); do
  pic=$(xdotool search --all --onlyvisible --pid "$(pgrep -P $pid | head -1)" --name '^Form1$' 2>/dev/null | head -1)
  [ -n "$pic" ] && break
  xdotool key space
  sleep 0.2
done
if [ -z "$pic" ]; then
  bad "no second picture window"
else
  sleep 0.5
  xdotool windowminimize "$pic"
  for _ in $(seq 30); do viewable "$main" || break; sleep 0.1; done
  xdotool key --window "$pic" space
  sleep 1
  xdotool windowactivate "$main" 2>/dev/null
  for _ in $(seq 30); do viewable "$main" && break; sleep 0.1; done
  sleep 1
  viewable "$pic" && bad "the dismissed picture window came back over the game" || ok "the dismissed picture window stays hidden"
  IFS='x+' read -r w h x y <<<"$(geometry "$main")"
  check "the game shows where the picture window stood" '#404040' "$(pixel $((x + w / 2)) $((y + 200)))"
  import -window root "$tmp/restored.png"
fi
kill $pid 2>/dev/null
wait_end $pid 5
[ -d "${VUNT_SHOTS:-}" ] && cp "$tmp"/*.png "$VUNT_SHOTS"
exit $fail
