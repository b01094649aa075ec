#!/usr/bin/env bash
# The debugging options on the command line: help, usage errors, a bounded endless loop (its
# message, transcript line and exit status), --start with a label of the line map, --trace, the lines
# --start and --break name, and source positions on standard error.
set -u
vunt=$1
fail=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then echo "FAIL $1: expected [$2], got [$3]"; fail=1; else echo "ok   $1"; fi
}
run() { timeout -k 5 60 "$vunt" "$@"; }
scripthash() {  # the line map's hash of a script file: FNV-1a over its bytes
  python3 -c 'import sys
h = 14695981039346656037
for b in open(sys.argv[1], "rb").read(): h = ((h ^ b) * 1099511628211) % 2**64
print("%016x" % h)' "$1"
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/game"

run --help >"$tmp/out"
for o in --start --flags --trace --max-ticks; do
  grep -q -- "$o" "$tmp/out"; check "help names $o" 0 $?
done
printf 'EOF\r\n' >"$tmp/game/vunt-n.zad"
run --headless --flags F31=1 "$tmp/game" 2>/dev/null; check "bad --flags" 2 $?
run --headless --start 0 "$tmp/game" 2>/dev/null; check "bad --start" 2 $?
run --headless --start title "$tmp/game" 2>"$tmp/err"; check "label without a map" 2 $?
grep -q "vunt-n.map" "$tmp/err"; check "label without a map: says why" 0 $?
run --headless --max-ticks ten "$tmp/game" 2>/dev/null; check "bad --max-ticks" 2 $?

# A loop that never waits: ended by the bound, with status 4, a transcript line and a message.
printf 'DO\r\nLOOP,1\r\n' >"$tmp/game/vunt-n.zad"
run --headless --max-ticks 1000 "$tmp/game" >"$tmp/out" 2>"$tmp/err"; check "bounded loop status" 4 $?
check "bounded loop transcript" "end	max-ticks" "$(grep ^end "$tmp/out")"
grep -q "max-ticks.*line [12]" "$tmp/err"; check "bounded loop message" 0 $?

# --start LABEL through the map, --flags, --trace.
printf 'LET,1,1\r\nIF,F02=07,4\r\nLET,3,1\r\nEXIT\r\n' >"$tmp/game/vunt-n.zad"
hash=$(scripthash "$tmp/game/vunt-n.zad")
printf 'vunt-map\t1\t%s\n1\t1\ts.txt\n2\t3\ts.txt\n3\t4\ts.txt\n4\t5\ts.txt\n:check\t2\n' "$hash" >"$tmp/game/vunt-n.map"
run --headless --start check --flags F2=7 --trace "$tmp/game" >"$tmp/out"; check "start label status" 0 $?
check "start label trace" "line 2|line 3|flag 3|line 4|end EXIT|flags 0 0 7 1" \
  "$(cut -f1-2 "$tmp/out" | sed 's/\t/ /; s/\(flags [-0-9]* [-0-9]* [-0-9]* [-0-9]*\).*/\1/' | paste -sd'|')"

# Lines named on the command line are checked against the script as it stands (4 lines here): a
# number past its end, a label the map places past it or far outside any script, an unknown label.
printf 'vunt-map\t1\t%s\n1\t1\ts.txt\n2\t3\ts.txt\n3\t4\ts.txt\n4\t5\ts.txt\n:check\t2\n:past\t5\n:far\t2147483647\n' \
  "$hash" >"$tmp/game/vunt-n.map"
for bad in "--start 5" "--start 999" "--start past" "--start far" "--break far" "--break 5" "--break F31" "--break nowhere"; do
  run --headless $bad "$tmp/game" >/dev/null 2>"$tmp/err"; check "usage error: $bad" 2 $?
  grep -q "outside the script (1 to 4)\|no label\|does not exist" "$tmp/err"; check "says why: $bad" 0 $?
done
run --headless --watch "$tmp/game" >/dev/null 2>&1; check "--watch is the window's" 2 $?
run --headless --snapshot "$tmp/snap" "$tmp/game" >/dev/null 2>&1; check "--snapshot needs --break" 2 $?
run --headless --start check --state "$tmp/nothing" "$tmp/game" >/dev/null 2>&1; check "--state without its file" 2 $?

# Running off the end of the script: the box is as it always was, standard error adds the source
# position of the script's last line.
printf 'LET,1,1\r\n' >"$tmp/game/vunt-n.zad"
hash=$(scripthash "$tmp/game/vunt-n.zad")
printf 'vunt-map\t1\t%s\n1\t7\ts.txt\n' "$hash" >"$tmp/game/vunt-n.map"
run --headless "$tmp/game" >"$tmp/out" 2>"$tmp/err"; check "off the end: status" 1 $?
check "off the end: the box" "Zad ERROR	命令無し( 2)\r" "$(grep ^error "$tmp/out" | cut -f2-3)"
grep -q "line 2 lies past the script's last line 1, which comes from s.txt:7" "$tmp/err"; check "off the end: source" 0 $?

# The --max-ticks message names the source line.
printf 'DO\r\nLOOP,1\r\n' >"$tmp/game/vunt-n.zad"
hash=$(scripthash "$tmp/game/vunt-n.zad")
printf 'vunt-map\t1\t%s\n1\t3\ts.txt\n2\t4\ts.txt\n' "$hash" >"$tmp/game/vunt-n.map"
run --headless --max-ticks 1001 "$tmp/game" >/dev/null 2>"$tmp/err"
grep -q "at line 2 (s.txt:4)" "$tmp/err"; check "bounded loop message: source" 0 $?
exit $fail
