# Sourced by the tests of window behaviour: starts a virtual X server of its own (the server
# picks a free display itself, so parallel tests never race for one) at ${screen:-1280x1024},
# with the openbox window manager, and stops both at exit. Sets DISPLAY, a silent audio driver,
# a failure count $fail and a temporary directory $tmp, and offers the helpers below.
for tool in Xvfb openbox xdotool xprop xwininfo import; do
  command -v $tool >/dev/null || { echo "$tool is not installed"; exit 1; }
done
export SDL_AUDIODRIVER=dummy
# No session bus here: without one, SDL's input-method probe would start dbus-launch, an X
# client of its own that outlives the test's windows.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
fail=0
tmp=$(mktemp -d)
# The player's settings are the test's own: a window that remembers full screen or its size
# must neither read the settings of whoever runs the tests nor write them.
export XDG_CONFIG_HOME=$tmp/config
# The player's data (save slots, read pages) of the games the tests play stays in the test's folder.
export XDG_DATA_HOME=$tmp/data
Xvfb -displayfd 3 -screen 0 "${screen:-1280x1024}x24" -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 600); do [ -s "$tmp/display" ] && break; sleep 0.05; done
[ -s "$tmp/display" ] || { echo "FAIL the virtual X server did not start"; kill $xvfb_pid; exit 1; }
export DISPLAY=:$(head -1 "$tmp/display")
wm_pid=""
trap 'kill $wm_pid $xvfb_pid 2>/dev/null; wait $wm_pid $xvfb_pid 2>/dev/null; rm -rf "$tmp"' EXIT
# The window manager is ready once a throwaway window gets its frame: it announces itself on the
# root window before it manages windows, and a window mapped in between may never be told it was
# mapped. On a busy machine its start has been seen to stall, so a second one is tried.
start_window_manager() {
  openbox --sm-disable >>"$tmp/openbox.log" 2>&1 &
  wm_pid=$!
  xev -name vunt-wm-probe >/dev/null 2>&1 &
  local probe_pid=$! probe ready=""
  for _ in $(seq $(($1 * 20))); do
    probe=$(xdotool search --name '^vunt-wm-probe$' 2>/dev/null | head -1)
    [ -n "$probe" ] && xprop -id "$probe" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '=' && ready=1 && break
    sleep 0.05
  done
  kill $probe_pid 2>/dev/null
  wait $probe_pid 2>/dev/null
  [ -n "$ready" ]
}
if ! start_window_manager 15; then
  kill $wm_pid 2>/dev/null
  wait $wm_pid 2>/dev/null
  start_window_manager 30 || { echo "FAIL the window manager did not start managing windows:"; cat "$tmp/openbox.log"; exit 1; }
fi

ok() { echo "ok   $1"; }
bad() { echo "FAIL $1"; fail=1; }
check() { if [ "$2" = "$3" ]; then ok "$1"; else bad "$1: expected [$2], got [$3]"; fi; }

# The id of the visible window titled exactly $1 of process $2, waiting up to 20 s; empty if none
# appears.
# (Started under timeout, the process is the child of $2.)
window_named() {
  local id="" p
  for _ in $(seq 200); do
    p=$(pgrep -P "$2" | head -1)
    id=$(xdotool search --all --onlyvisible --pid "${p:-$2}" --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

# "WIDTHxHEIGHT+X+Y" of a window's client area on the screen.
geometry() {
  xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF} END {print w "x" h "+" x "+" y}'
}

# The colour (#RRGGBB) of one pixel of the screen.
pixel() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}' | head -1
}

# Waits up to 10 s until the pixel at ($1, $2) has the colour $3; true if it did.
wait_pixel() {
  for _ in $(seq 50); do
    [ "$(pixel "$1" "$2")" = "$3" ] && return 0
    sleep 0.2
  done
  return 1
}

# Waits up to $2 s for process $1 to end; sets $status (124 if it did not end: it is killed).
wait_end() {
  local pid=$1 limit=$2
  for _ in $(seq $((limit * 20))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    status=124
  else
    wait "$pid"
    status=$?
  fi
}

# Waits up to 10 s for a message box in the game's window $1 drawn at scale ${2:-2}: the box's
# face colour left of the game's centre (at x 130 inside a narrow box's margin, at x 14 inside
# the widest box's), or below the text of a box of two lines. The window's place is read again each time: the window manager may still
# be placing it.
box_shown() {
  local s=${2:-2} w h x y
  for _ in $(seq 50); do
    IFS='x+' read -r w h x y <<<"$(geometry "$1")"
    [ "$(pixel $((x + s * 130)) $((y + s * 192)))" = '#D4D0C8' ] && return 0
    [ "$(pixel $((x + s * 14)) $((y + s * 192)))" = '#D4D0C8' ] && return 0
    # Left of the OK button of a box of two lines of text.
    [ "$(pixel $((x + s * 40)) $((y + s * 226)))" = '#D4D0C8' ] && return 0
    sleep 0.2
  done
  return 1
}
