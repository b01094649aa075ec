# Sourced by the tests of the real window: runs the calling test again under its own virtual X
# server, with a silent audio driver, a failure count and a temporary directory $tmp.
# Xvfb chooses a free display itself and reports its number (-displayfd), so tests running in
# parallel never race for one.
source "$(dirname "${BASH_SOURCE[0]}")/limits.bash"
if [ -z "${VUNT_UNDER_XVFB:-}" ]; then
  command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 1; }
  xvfb_dir=$(mktemp -d)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$xvfb_dir/display" 2>"$xvfb_dir/log" &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null; rm -rf "$xvfb_dir"' EXIT
  for _ in $(seq 100); do
    grep -q '^[0-9][0-9]*$' "$xvfb_dir/display" 2>/dev/null && break
    kill -0 $xvfb_pid 2>/dev/null || break
    sleep 0.1
  done
  display=$(cat "$xvfb_dir/display" 2>/dev/null)
  [ -n "$display" ] || { echo "Xvfb did not start:"; cat "$xvfb_dir/log"; exit 1; }
  DISPLAY=:$display VUNT_UNDER_XVFB=1 limit 150 bash "$0" "$@"
  exit $?
fi
export SDL_AUDIODRIVER=dummy
# No session bus here: without one, SDL's input-method probe would start dbus-launch, an X
# client of its own that outlives the test's windows.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
fail=0
tmp=$(mktemp -d)
# The player's settings are the test's own: a window that remembers full screen or its size
# must neither read the settings of whoever runs the tests nor write them.
export XDG_CONFIG_HOME=$tmp/config
trap 'rm -rf "$tmp"' EXIT
# The player's data (save slots, read pages) of the games the tests play stays in the test's folder.
export XDG_DATA_HOME=$tmp/data
