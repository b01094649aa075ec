#!/usr/bin/env bash
# docs/debugging.md runs as written: its files are written, its commands run in the folder that
# holds game/, and each prints exactly what the page shows (standard output, then standard error)
# and ends with the status its block names (0 unless said).
set -u
vunt=$(realpath "$1")
root=$(realpath "$2")
fail=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then echo "FAIL $1: expected [$2], got [$3]"; fail=1; else echo "ok   $1"; fi
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/bin" "$tmp/work/game"
ln -s "$vunt" "$tmp/bin/vunt"
ln -s "$(dirname "$vunt")/vunt-asm" "$tmp/bin/vunt-asm"

mode=""      # file, run: what the next block is
target=""    # the file's path
status=0     # the status the run block expects
in_block=0
runs=0
lines=()
while IFS= read -r line || [ -n "$line" ]; do
  if [ $in_block = 1 ]; then
    if [ "$line" != '```' ]; then lines+=("$line"); continue; fi
    in_block=0
    if [ "$mode" = file ]; then
      printf '%s\n' "${lines[@]}" >"$tmp/work/$target"
    elif [ "$mode" = run ]; then
      cmd=${lines[0]#'$ '}
      want=$(printf '%s\n' "${lines[@]:1}")
      got=$(cd "$tmp/work" && PATH="$tmp/bin:$PATH" timeout -k 5 60 bash -c "$cmd" 2>"$tmp/err"; echo "status=$?" >"$tmp/status")
      got=$(printf '%s\n%s' "$got" "$(cat "$tmp/err")" | sed '/^$/d')
      check "$cmd" "$want" "$got"
      check "$cmd: status" "status=$status" "$(cat "$tmp/status")"
      runs=$((runs + 1))
    fi
    mode=""
    continue
  fi
  if [[ $line =~ ^'<!-- file: '(.*)' -->'$ ]]; then mode=file; target=${BASH_REMATCH[1]}; continue; fi
  if [[ $line =~ ^'<!-- run'( status=([0-9]+))?' -->'$ ]]; then mode=run; status=${BASH_REMATCH[2]:-0}; continue; fi
  if [[ $line == '```'* && -n $mode ]]; then in_block=1; lines=(); fi
done <"$root/docs/debugging.md"
check "runs in docs/debugging.md" 1 "$([ $runs -ge 7 ] && echo 1 || echo 0)"
exit $fail
