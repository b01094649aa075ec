#!/usr/bin/env bash
# The bundled game's stages as a course: game/vunt.pdt is the packing of tools/game/stages.txt,
# tools/game/stage-table.md is what tools/game/stage_table.sh makes of it, and the table shows the
# course: lessons without a dead end that random play clears, the story's four real boards as its
# climax (three kinds or more, five on the last, rising in moves and in positions, the last far
# beyond the lessons), the least moves (and after the lessons the positions) rising within each
# level of eight, and 25 moves or more at the end.
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
limit 170 "$root/tools/game/stage_table.sh" "$build" >"$tmp/table.md"; check "table: status" 0 $?
cmp -s "$tmp/table.md" "$root/tools/game/stage-table.md"; check "stage-table.md made, not typed" 0 $?

# Rows: | stage | pieces | kinds | traps | moves | states | clears / plays | share | positions | dead |
rows=$(grep '^| [0-9]' "$tmp/table.md" | tr -d ' ' | sed 's|/[0-9]*||; s|([0-9]*%)||' | cut -d'|' -f2,4,6,8,10,11)
# fields now: stage | kinds | moves | clears | positions | dead
check "table: 24 stages" 24 "$(echo "$rows" | wc -l)"
check "table: the lessons 1-4 have no dead end" "0 0 0 0" \
  "$(echo "$rows" | awk -F'|' '$1 <= 4 { printf "%s%s", sep, $6; sep = " " }')"
check "table: the first stages are cleared by random play" yes \
  "$(echo "$rows" | awk -F'|' '$1 <= 4 && $4 == 0 { bad = 1 } END { print bad ? "no" : "yes" }')"
check "table: the story's boards 5-8 have three kinds or more, the last five" "yes 5" \
  "$(echo "$rows" | awk -F'|' '$1 >= 5 && $1 <= 8 && $2 < 3 { bad = 1 } $1 == 8 { k = $2 } END { print (bad ? "no" : "yes"), k }')"
check "table: the story's boards rise in moves and in positions" yes \
  "$(echo "$rows" | awk -F'|' '$1 >= 5 && $1 <= 8 { if ($1 > 5 && ($3 <= m || $5 <= p)) bad = 1; m = $3; p = $5 }
     END { print bad ? "no" : "yes" }')"
check "table: the story's last board outgrows every practice board" yes \
  "$(echo "$rows" | awk -F'|' '$1 <= 4 && $5 > p4 { p4 = $5 } $1 == 8 { p8 = $5 } END { print (p8 > 10 * p4 ? "yes" : "no") }')"
check "table: minimum moves rise within each level of eight, and positions after the lessons" yes \
  "$(echo "$rows" | awk -F'|' '{ if ($1 % 8 != 1 && ($3 <= m || ($1 > 4 && $5 <= p))) bad = 1; m = $3; p = $5 }
     END { print bad ? "no" : "yes" }')"
check "table: the last level ends with 25 moves or more" yes "$(echo "$rows" | awk -F'|' 'END { print ($3 >= 25 ? "yes" : "no") }')"
exit $fail
