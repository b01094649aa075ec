#!/usr/bin/env bash
# A crash during SAVE never leaves a half-written or lost save file: a game that saves over and
# over is killed (SIGKILL) at random moments, and each time the save file is whole, holding the
# flags of the last save or of the one before.
set -u
vunt=$1
source "$(dirname "$0")/lib/limits.bash"
fail=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# F1 alternates between 1 and 2, F30 is 7 throughout; the first save file holds F1 = 0.
printf 'LET,30,7\r\nLET,1,1\r\nSAVE\r\nLET,1,2\r\nSAVE\r\nGOTO,2\r\n' >"$tmp/vunt-n.zad"
{ printf ' 0\r\n'; printf ' 0\r\n'; for _ in $(seq 28); do printf ' 0\r\n'; done; printf ' 7\r\n'; } >"$tmp/VUNT.DAT"
seen=""
for i in $(seq 20); do
  # The game itself is killed below, so its limit is on CPU time (the loop never waits) rather
  # than a timeout process in between.
  (ulimit -t 20; exec "$vunt" --headless "$tmp" >/dev/null 2>&1) &
  pid=$!
  sleep "0.0$((RANDOM % 90 + 10))"
  kill -KILL $pid
  wait $pid 2>/dev/null
  lines=$(wc -l <"$tmp/VUNT.DAT")
  f1=$(sed -n 2p "$tmp/VUNT.DAT" | tr -d ' \r')
  f30=$(sed -n 31p "$tmp/VUNT.DAT" | tr -d ' \r')
  if [ "$lines" != 31 ] || [ "$f30" != 7 ] || { [ "$f1" != 0 ] && [ "$f1" != 1 ] && [ "$f1" != 2 ]; }; then
    echo "FAIL kill $i: save file of $lines lines, F1 [$f1], F30 [$f30]"
    fail=1
  fi
  seen="$seen$f1"
done
[ $fail = 0 ] && echo "ok   20 kills during SAVE left a whole save file each time (F1: $seen)"
# What a kill leaves besides the save file is at most the temporary file, which the next SAVE
# replaces.
printf 'LET,1,5\r\nSAVE\r\nEOF\r\n' >"$tmp/vunt-n.zad"
limit "$vunt" --headless "$tmp" >/dev/null 2>&1
f1=$(sed -n 2p "$tmp/VUNT.DAT" | tr -d ' \r')
[ "$f1" = 5 ] && [ ! -e "$tmp/VUNT.DAT.tmp" ] && echo "ok   the next SAVE replaces what a kill left" || { echo "FAIL after the kills: F1 [$f1]"; ls "$tmp"; fail=1; }
exit $fail
