#!/usr/bin/env bash
# The click wait of a message on the real window: a click on the message area ends the first
# page's wait, Space the second, and the script then runs to EOF.
set -u
vunt=$1
source "$(dirname "$0")/lib/under_xvfb.bash"
printf 'MES,＜一頁目￥\r\nMES,二頁目￥\r\nEOF\r\n' >"$tmp/vunt-n.zad"
# The trace on standard error says when each line begins, so that the test clicks only once a
# page waits: an input that comes before the wait is rightly not taken for it, and a loaded machine
# may take more than a second to reach the first line.
timeout -k 1 30 "$vunt" --trace "$tmp" 2>"$tmp/trace" &
pid=$!
# until_line N: waits (up to 10 s) until line N has begun, then a moment for its wait to start.
until_line() {
  for _ in $(seq 100); do
    grep -Eq "^line[[:space:]]+$1\$" "$tmp/trace" && { sleep 0.3; return 0; }
    sleep 0.1
  done
  return 1
}
wid=""
for _ in $(seq 100); do
  wid=$(xdotool search --onlyvisible --name '^Vunt$' 2>/dev/null | head -1)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { echo "FAIL no window"; kill $pid; exit 1; }
still_waiting() { sleep 0.5; kill -0 $pid 2>/dev/null; }
fail=0
until_line 1 || { echo "FAIL line 1 never ran"; fail=1; }
still_waiting && echo "ok   first page waits" || { echo "FAIL ended without a click"; fail=1; }
xdotool mousemove --window "$wid" 200 350 click 1
until_line 2 && echo "ok   the click ends the first page" || { echo "FAIL the click did not end the first page"; fail=1; }
still_waiting && echo "ok   second page waits after the click" || { echo "FAIL ended after one click"; fail=1; }
xdotool key space
wait $pid
status=$?
[ $status = 0 ] && echo "ok   Space ends the last wait, EOF" || { echo "FAIL status $status"; fail=1; }
exit $fail
