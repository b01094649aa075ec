#!/usr/bin/env bash
# The real window under a virtual X server: it opens and closes with the script, and a script
# error shows the modal "Zad ERROR" box; after OK the program ends with status 1.
set -u
vunt=$1
source "$(dirname "$0")/lib/under_xvfb.bash"
mkdir "$tmp/ok" "$tmp/bad"
printf 'DO\r\nEOF\r\n' >"$tmp/ok/vunt-n.zad"
printf 'DO\r\nFOO\r\n' >"$tmp/bad/vunt-n.zad"

timeout -k 1 20 "$vunt" "$tmp/ok"
status=$?
[ $status = 0 ] && echo "ok   window run to EOF" || { echo "FAIL window run to EOF: status $status"; fail=1; }

timeout -k 1 30 "$vunt" "$tmp/bad" 2>"$tmp/err" &
pid=$!
geometry=""
for _ in $(seq 100); do
  geometry=$(xwininfo -root -tree 2>/dev/null | grep '"Zad ERROR"' | grep -o '[0-9]*x[0-9]*+[0-9]*+[0-9]*' | head -1)
  [ -n "$geometry" ] && break
  sleep 0.1
done
if [ -z "$geometry" ]; then
  echo "FAIL no Zad ERROR box"; fail=1
else
  echo "ok   Zad ERROR box $geometry"
  # The single OK button sits at the bottom middle of the box.
  IFS='x+' read -r w h x y <<<"$geometry"
  xdotool mousemove $((x + w / 2)) $((y + h - 25)) click 1
fi
wait $pid
status=$?
[ $status = 1 ] && echo "ok   status 1 after OK" || { echo "FAIL status after OK: $status"; fail=1; }
grep -q "命令無し( 2)" "$tmp/err" && echo "ok   report on stderr" || { echo "FAIL no report on stderr"; fail=1; }
exit $fail
