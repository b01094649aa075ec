#!/usr/bin/env bash
# The bundled game's stages as a course: game/vunt.pdt is the packing of tools/game/stages.txt,
# tools/game/stage-table.md is what tools/game/stage_table.sh makes of it, and the table shows the
# climb: at least 20 stages, minimum moves rising from stage to stage, the share of random play
# that clears a stage never rising from stage 5 on, and the last stages needing 25 moves or more.
set -u
vunt=$1
root=$2
build=$(dirname "$vunt")
source "$(dirname "$0")/lib/limits.bash"
fail=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then echo "FAIL $1: expected [$2], got [$3]"; fail=1; else echo "ok   $1"; fi
}
if [ ! -x "$build/vunt-stage" ]; then echo "vunt-stage is not built"; exit 1; fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

limit "$build/vunt-stage" pack "$root/tools/game/stages.txt" "$tmp/vunt.pdt"; check "pack: status" 0 $?
cmp -s "$tmp/vunt.pdt" "$root/game/vunt.pdt"; check "vunt.pdt packed from stages.txt" 0 $?
limit "$root/tools/game/stage_table.sh" "$build" >"$tmp/table.md"; check "table: status" 0 $?
cmp -s "$tmp/table.md" "$root/tools/game/stage-table.md"; check "stage-table.md made, not typed" 0 $?

# Rows: | stage | pieces | kinds | traps | moves | states | clears / plays | share |
rows=$(grep '^| [0-9]' "$tmp/table.md" | tr -d ' ' | cut -d'|' -f2,6,8 | sed 's|/[0-9]*$||')
check "table: at least 20 stages" yes "$(echo "$rows" | awk -F'|' 'END { print (NR >= 20 ? "yes" : "no") }')"
check "table: minimum moves rise" yes "$(echo "$rows" | awk -F'|' '{ if (NR > 1 && $2 <= m) bad = 1; m = $2 } END { print bad ? "no" : "yes" }')"
check "table: random clears never rise from stage 5" yes \
  "$(echo "$rows" | awk -F'|' '$1 >= 5 { if (seen && $3 > c) bad = 1; c = $3; seen = 1 } END { print bad ? "no" : "yes" }')"
check "table: the last stage needs 25 moves or more" yes "$(echo "$rows" | awk -F'|' 'END { print ($2 >= 25 ? "yes" : "no") }')"
check "table: the first stages are cleared by random play" yes \
  "$(echo "$rows" | awk -F'|' '$1 <= 5 && $3 == 0 { bad = 1 } END { print bad ? "no" : "yes" }')"
exit $fail
