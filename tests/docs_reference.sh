#!/usr/bin/env bash
# docs/commands.md against the engine and the example games: its script blocks marked as examples
# are the lines of the games they name, so the reference cannot go stale; every command's section
# carries one; its table of example games names the games of examples/; and its list of error
# reports holds exactly the texts the engine reports.
set -u
root=$(realpath "$2")  # $1, the program, is not needed here
fail=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then echo "FAIL $1: expected [$2], got [$3]"; fail=1; else echo "ok   $1"; fi
}

# --- docs/commands.md: example blocks are the games' own lines ---
doc="$root/docs/commands.md"
blocks=0
game=""
first=0
in_block=0
section=""
declare -A section_examples=()
while IFS= read -r line || [ -n "$line" ]; do
  if [ $in_block = 1 ]; then
    line=${line#"$indent"}  # a block inside a list item is indented as its fence
    if [ "$line" = '```' ]; then
      in_block=0
      want=$(sed -n "${first},$((first + ${#block[@]} - 1))p" "$root/examples/$game/vunt-n.zad")
      got=$(printf '%s\n' "${block[@]}")
      if [ "$want" != "$got" ]; then
        echo "FAIL docs: the example of $game from line $first differs from the game:"
        diff <(echo "$want") <(echo "$got"); fail=1
      fi
      blocks=$((blocks + 1))
      [ -n "$section" ] && section_examples[$section]=1
      game=""
    else
      block+=("$line")
    fi
    continue
  fi
  if [[ $line =~ ^'### '([A-Z]+)$ ]]; then section=${BASH_REMATCH[1]}; section_examples[$section]=${section_examples[$section]:-0}; fi
  if [[ $line =~ ^'## ' ]]; then section=""; fi
  if [[ $line =~ ^' '*'Example: `examples/'([a-z-]+)'`, line '([0-9]+)':'$ ]]; then
    game=${BASH_REMATCH[1]}; first=${BASH_REMATCH[2]}
    [ -f "$root/examples/$game/vunt-n.zad" ] || { echo "FAIL docs: no example game $game"; fail=1; }
  fi
  if [[ $line =~ ^(' '*)'```zad'$ ]]; then
    indent=${BASH_REMATCH[1]}
    if [ -z "$game" ]; then echo "FAIL docs: a zad block without an 'Example:' line before it"; fail=1; game=none; fi
    in_block=1; block=()
  fi
done <"$doc"
echo "ok   docs: $blocks example blocks checked"
missing=""
for s in "${!section_examples[@]}"; do [ "${section_examples[$s]}" = 1 ] || missing+=" $s"; done
check "docs: every command section has an example" "" "$missing"
check "docs: command sections" 40 "${#section_examples[@]}"

# --- docs/commands.md: its table of example games lists exactly the games of examples/ ---
listed=$(grep -oE '^\| \[`examples/[a-z-]+`\]' "$doc" | sed 's/.*examples\///; s/`.*//' | sort)
present=$(for d in "$root"/examples/*/; do [ -f "$d/vunt-n.zad" ] && basename "$d"; done | sort)
check "docs: the example games listed are those of examples/" "$present" "$listed"

# --- docs/commands.md: every error text it lists is one the engine reports ---
while IFS= read -r text; do
  case $text in
    CASE*無し) grep -rqF 'U"無し"' "$root/src" ;;
    *) grep -rqF "U\"$text" "$root/src" ;;
  esac
  check "docs: error text $text is the engine's" 0 $?
done < <(sed -n '/^## Error reports/,/^## /p' "$doc" | grep -oE '^\| `[^`]+`' | sed 's/^| `//; s/`$//')

# ... and every error text the engine reports is listed there: those passed to the error report
# directly, and the faults of stages and message codes, which are named by a switch.
documented=$(sed -n '/^## Error reports/,/^## /p' "$doc" | grep -oE '^\| `[^`]+`' | sed 's/^| `//; s/`$//; s/^CASE .*/CASE/')
reported=$( (grep -rhoE 'EEE\(U"[^"\\]+' "$root/src" | sed 's/EEE(U"//'
             grep -rhoE 'case [A-Za-z:]+: return U"[^"\\]+"' "$root/src" | sed 's/.*return U"//; s/"$//') | sort -u)
count=0
while IFS= read -r text; do
  count=$((count + 1))
  grep -qxF "$text" <<<"$documented"; check "docs: the engine's error text $text is listed" 0 $?
done <<<"$reported"
[ "$count" -ge 20 ]; check "docs: error texts found in the engine (at least 20)" 0 $?

exit $fail
