#!/usr/bin/env bash
# The windows under a real window manager (openbox) on a 1280 x 1024 screen: the window opens at
# twice the game's size (--scale 1 at its own) and cannot be made smaller than that; the picture
# window (GHGD) is transient for the main window, has no taskbar entry, is minimised only together
# with the main window, stays above the main window when the player clicks the main window, and
# closes at a click; in full screen the picture is drawn inside the main window, centred, at the
# game's scale. Screenshots go to the folder $VUNT_SHOTS when it is set.
set -u
vunt=$1
source "$(dirname "$0")/lib/window_manager.bash"

# Two pictures shown one after the other: 320 x 200 of one colour with a 20-pixel square of
# another in its top left corner, then 320 x 200 of a third colour; each in the 640 x 400 picture
# window on white.
mkdir "$tmp/game"
convert -size 320x200 xc:'#C03020' -fill '#2040E0' -draw 'rectangle 0,0 19,19' "png:$tmp/game/pic.szg"
convert -size 320x200 xc:'#30A040' "png:$tmp/game/pic2.szg"
printf 'MES,はじめ￥\r\nGHGD,pic\r\nGHGD,pic2\r\nMES,おわり￥\r\nEOF\r\n' >"$tmp/game/vunt-n.zad"

# Decimal window ids, so that xprop's and xdotool's spellings compare.
dec() { printf '%d' "$1" 2>/dev/null; }
# The minimum size the window asks the window manager for, as "WxH".
min_size() { xprop -id "$1" WM_NORMAL_HINTS | awk '/minimum size/ {print $(NF-2) "x" $NF}'; }
# Clicks in the message area of the game's window $1 at scale $2.
click_on() {
  local w h x y
  IFS='x+' read -r w h x y <<<"$(geometry "$1")"
  xdotool mousemove $((x + w / 2)) $((y + h / 2 + 170 * $2)) click 1
}
# Waits up to 5 s until window $1 is mapped (IsViewable) or not ($2 = no).
wait_viewable() {
  for _ in $(seq 50); do
    if xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; then [ "$2" = yes ] && return 0
    else [ "$2" = no ] && return 0; fi
    sleep 0.1
  done
  return 1
}

# In a window, at the default scale.
timeout -k 1 40 "$vunt" "$tmp/game" 2>"$tmp/err" &
pid=$!
main=$(window_named Vunt $pid)
if [ -z "$main" ]; then
  bad "no main window"
else
  sleep 0.3
  check "opens at twice the game's size" 880x768 "$(geometry "$main" | cut -d+ -f1)"
  check "minimum size at twice the game's" 880x768 "$(min_size "$main")"
  xdotool windowsize "$main" 300 200
  sleep 0.5
  check "cannot be made smaller" 880x768 "$(geometry "$main" | cut -d+ -f1)"
  pic=""
  for _ in $(seq 20); do
    click_on "$main" 2
    pic=$(xdotool search --all --onlyvisible --pid "$(pgrep -P $pid | head -1)" --name '^Form1$' 2>/dev/null | head -1)
    [ -n "$pic" ] && break
    sleep 0.3
  done
  if [ -z "$pic" ]; then
    bad "no picture window"
  else
    sleep 0.3
    import -window root "$tmp/windowed.png"
    check "picture window transient for the main window" "$(dec "$main")" \
      "$(dec "$(xprop -id "$pic" WM_TRANSIENT_FOR | grep -o '0x[0-9a-f]*')")"
    xprop -id "$pic" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR &&
      ok "picture window has no taskbar entry" || bad "picture window has a taskbar entry: $(xprop -id "$pic" _NET_WM_STATE)"
    xprop -id "$pic" _NET_WM_WINDOW_TYPE | grep -Eq '_NET_WM_WINDOW_TYPE_(UTILITY|DIALOG)' &&
      ok "picture window is a utility or dialog window" || bad "picture window type: $(xprop -id "$pic" _NET_WM_WINDOW_TYPE)"
    # The player clicks the main window beside the picture window and activates it.
    IFS='x+' read -r w h x y <<<"$(geometry "$main")"
    xdotool mousemove $((x + 20)) $((y + 20)) click 1
    xdotool windowactivate "$main" 2>/dev/null
    sleep 0.5
    stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*' | while read -r id; do dec "$id"; echo; done)
    pos_main=$(grep -nx "$(dec "$main")" <<<"$stacking" | cut -d: -f1)
    pos_pic=$(grep -nx "$(dec "$pic")" <<<"$stacking" | cut -d: -f1)
    if [ -n "$pos_main" ] && [ -n "$pos_pic" ] && [ "$pos_pic" -gt "$pos_main" ]; then
      ok "picture window stays above the main window"
    else
      bad "picture window below the main window after a click on it (stacking: $(echo $stacking))"
    fi
    IFS='x+' read -r w h x y <<<"$(geometry "$pic")"
    check "picture shown on top" '#C03020' "$(pixel $((x + 160)) $((y + 100)))"
    import -window root "$tmp/clicked.png"
    # Minimising the picture window takes the main window with it, and bringing the main window
    # back brings the picture back above it.
    xdotool windowminimize "$pic"
    wait_viewable "$main" no && ok "minimising the picture minimises the game" || bad "the picture window minimises on its own"
    xdotool windowactivate "$main" 2>/dev/null
    wait_viewable "$pic" yes && ok "the picture comes back with the game" || bad "the picture window stays hidden when the game comes back"
    # The player moves the picture window; the first click on it, while the main window has the
    # focus, closes it; the next picture shows where the player left the window.
    xdotool windowmove "$pic" 100 80
    sleep 0.5
    IFS='x+' read -r w h x y <<<"$(geometry "$pic")"
    moved="+$x+$y"
    xdotool windowactivate --sync "$main" 2>/dev/null
    sleep 0.3
    xdotool mousemove $((x + 160)) $((y + 100)) click 1
    next_shown() {
      for _ in $(seq 20); do [ "$(pixel $((x + 160)) $((y + 100)))" = '#30A040' ] && return 0; sleep 0.1; done
      return 1
    }
    if next_shown; then
      ok "the first click on the picture closes it"
    else
      bad "the first click on the picture window, while the main window has the focus, is lost"
      xdotool click 1
      next_shown
    fi
    if ! pgrep -P $pid >/dev/null; then
      # Hiding and showing the picture window races with the window manager dropping its frame;
      # an X error about the vanished frame must not end the game.
      bad "the game ended as the picture window was hidden and shown again: $(grep -m1 'X Error' "$tmp/err")"
    elif [ "$(pixel $((x + 160)) $((y + 100)))" != '#30A040' ]; then
      bad "the picture window does not close at a click"
    else
      wait_viewable "$pic" yes
      shown="+$(geometry "$pic" | cut -d+ -f2-)"
      if [ "$shown" = "$moved" ]; then
        ok "the next picture shows where the player left the window"
      else
        bad "the next picture shows at $shown, not where the player left the window ($moved)"
      fi
      import -window root "$tmp/moved.png"
      xdotool mousemove $((x + 160)) $((y + 100)) click 1
      wait_viewable "$pic" no && ok "a click closes the picture window" || bad "the picture window stays after a click"
    fi
  fi
fi
kill $pid 2>/dev/null
wait_end $pid 5

# In full screen the picture is drawn inside the main window, centred, at the game's scale (2:
# 1280 x 800 at y 112), over black; no window of its own shows.
timeout -k 1 40 "$vunt" "$tmp/game" 2>>"$tmp/err" &
pid=$!
main=$(window_named Vunt $pid)
if [ -z "$main" ]; then
  bad "full screen: no main window"
else
  xdotool windowactivate --sync "$main" key F11 2>/dev/null
  for _ in $(seq 50); do [ "$(geometry "$main")" = 1280x1024+0+0 ] && break; sleep 0.1; done
  check "F11 fills the screen" 1280x1024+0+0 "$(geometry "$main")"
  for _ in $(seq 20); do
    xdotool mousemove 640 $((128 + 2 * 362)) click 1
    wait_pixel 320 300 '#C03020' && break
  done
  import -window root "$tmp/full_screen.png"
  check "full screen: the picture at the game's scale" '#C03020' "$(pixel 320 300)"
  check "full screen: its corner at the centred place" '#2040E0' "$(pixel 10 120)"
  check "full screen: the picture window's own background" '#FFFFFF' "$(pixel 960 700)"
  check "full screen: black above it" '#000000' "$(pixel 640 50)"
  [ -z "$(xdotool search --all --onlyvisible --pid "$(pgrep -P $pid | head -1)" --name '^Form1$' 2>/dev/null)" ] &&
    ok "full screen: no separate picture window" || bad "full screen: a separate picture window shows"
  xdotool mousemove 320 300 click 1
  wait_pixel 320 300 '#30A040' && ok "full screen: a click shows the next picture" || bad "full screen: the picture stays after a click"
  xdotool click 1
  wait_pixel 320 300 '#404040' && ok "full screen: a click closes the picture" || bad "full screen: the picture stays after a click ($(pixel 320 300))"
fi
kill $pid 2>/dev/null
wait_end $pid 5
# Full screen is remembered: the next start fills the screen at once.
grep -qx 'fullscreen = on' "$XDG_CONFIG_HOME/vunt/settings.ini" 2>/dev/null &&
  ok "full screen is kept in the settings" || bad "full screen is not kept in the settings"
timeout -k 1 20 "$vunt" "$tmp/game" 2>>"$tmp/err" &
pid=$!
main=$(window_named Vunt $pid)
for _ in $(seq 50); do [ "$(geometry "$main")" = 1280x1024+0+0 ] && break; sleep 0.1; done
check "full screen again at the next start" 1280x1024+0+0 "$(geometry "$main")"
kill $pid 2>/dev/null
wait_end $pid 5
rm -rf "$XDG_CONFIG_HOME"

# --scale 1: the game's own size, and no smaller.
timeout -k 1 20 "$vunt" --scale 1 "$tmp/game" 2>>"$tmp/err" &
pid=$!
main=$(window_named Vunt $pid)
if [ -n "$main" ]; then
  sleep 0.3
  check "--scale 1 opens at the game's size" 440x384 "$(geometry "$main" | cut -d+ -f1)"
  check "--scale 1: minimum size" 440x384 "$(min_size "$main")"
else
  bad "--scale 1: no main window"
fi
kill $pid 2>/dev/null
wait_end $pid 5
[ -s "$tmp/err" ] && { echo "standard error:"; cat "$tmp/err"; }
[ -d "${VUNT_SHOTS:-}" ] && cp "$tmp"/*.png "$VUNT_SHOTS"

exit $fail
