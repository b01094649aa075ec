#!/usr/bin/env bash
# SAVE under a file-size limit (ulimit -f): the write fails with "File too large" instead of the
# signal killing the program; the player is told, the old save file stays as it was, no temporary
# file is left behind, and the game goes on. A stale temporary file from an earlier crash changes
# nothing, with or without the limit.
set -u
vunt=$1
source "$(dirname "$0")/lib/limits.bash"
fail=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then echo "FAIL $1: expected [$2], got [$3]"; fail=1; else echo "ok   $1"; fi
}
printf 'LET,1,5\r\nSAVE\r\nLET,2,6\r\nEOF\r\n' >"$tmp/vunt-n.zad"
for _ in $(seq 31); do printf ' 3\r\n'; done >"$tmp/VUNT.DAT"
cp "$tmp/VUNT.DAT" "$tmp/old"
printf 'half a save' >"$tmp/VUNT.DAT.tmp"

# The transcript goes through a pipe, which the limit does not touch.
out=$( (ulimit -f 0; exec timeout -k 5 60 "$vunt" --headless "$tmp") 2>/dev/null)
check "status under the limit" 0 $?
check "the game went on after SAVE" "end	EOF" "$(echo "$out" | grep '^end')"
check "flag set after SAVE" 6 "$(echo "$out" | tail -1 | cut -f2 | cut -d' ' -f3)"
echo "$out" | grep '^error' | grep -q 'セーブできませんでした。ファイルの大きさの上限を超えます' && echo "ok   the player is told why" \
  || { echo "FAIL no box: $out"; fail=1; }
# In Japanese only (the system's English error is for standard error), and the save made before
# is said to remain.
echo "$out" | grep '^error' | grep -q 'File too large' && { echo "FAIL English in the box: $out"; fail=1; } \
  || echo "ok   no English in the box"
echo "$out" | grep '^error' | grep -q '前のセーブデータはそのまま残っています' && echo "ok   the old save is said to remain" \
  || { echo "FAIL the old save not mentioned: $out"; fail=1; }
cmp -s "$tmp/VUNT.DAT" "$tmp/old" && echo "ok   the old save file is whole" || { echo "FAIL save file changed"; fail=1; }
[ ! -e "$tmp/VUNT.DAT.tmp" ] && echo "ok   no temporary file left" || { echo "FAIL VUNT.DAT.tmp left"; fail=1; }

# Without the limit the same SAVE works, whatever temporary file lies there.
printf 'half a save' >"$tmp/VUNT.DAT.tmp"
out=$(limit "$vunt" --headless "$tmp")
check "status without the limit" 0 $?
check "no box without the limit" "" "$(echo "$out" | grep '^error')"
check "F1 saved" 5 "$(sed -n 2p "$tmp/VUNT.DAT" | tr -d ' \r')"
[ ! -e "$tmp/VUNT.DAT.tmp" ] && echo "ok   no temporary file after a good save" || { echo "FAIL VUNT.DAT.tmp left"; fail=1; }
exit $fail
