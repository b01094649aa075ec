#!/usr/bin/env bash
# Measures, under a virtual X server, the time from process start until the main window is
# mapped, and the resident memory once the first frame is shown. Run by hand:
#   bash bench/window_start.sh build/vunt [RUNS]
# Goals: mapped in under 50 ms, under 40 MB resident.
set -u
vunt=${1:-build/vunt}
runs=${2:-10}
if [ -z "${VUNT_UNDER_XVFB:-}" ]; then
  VUNT_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
export SDL_AUDIODRIVER=dummy
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# A script that waits for the player on its first page keeps the window up.
printf 'MES,Vunt￥\r\nEOF\r\n' | iconv -f UTF-8 -t CP932 >"$tmp/vunt-n.zad"
for i in $(seq "$runs"); do
  start=$(date +%s%N)
  "$vunt" "$tmp" 2>/dev/null &
  pid=$!
  until xwininfo -name Vunt 2>/dev/null | grep -q IsViewable; do :; done
  mapped=$(date +%s%N)
  sleep 0.5
  rss=$(awk '/VmRSS/ {print $2}' /proc/$pid/status)
  kill $pid; wait $pid 2>/dev/null
  echo "run $i: mapped after $(( (mapped - start) / 1000000 )) ms, resident $(( rss / 1024 )) MB"
done
