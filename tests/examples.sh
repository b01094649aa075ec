#!/usr/bin/env bash
# The example games of examples/: each is played headless with its input.txt and must write
# exactly its transcript.txt, and vunt-lint must find nothing in it. The script blocks of
# docs/commands.md marked as examples must be the lines of the games they name, so the reference
# cannot go stale; every command's section carries one.
set -u
vunt=$(realpath "$1")
root=$(realpath "$2")
bin=$(dirname "$vunt")
fail=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then echo "FAIL $1: expected [$2], got [$3]"; fail=1; else echo "ok   $1"; fi
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Findings the linter reports on a correct example. Each must still be reported (so that a fixed
# linter gets its entry removed here), and nothing else may be.
declare -A known_false_alarms=()

games=0
for dir in "$root"/examples/*/; do
  name=$(basename "$dir")
  [ -f "$dir/vunt-n.zad" ] || continue
  games=$((games + 1))
  # Played in a copy: SAVE writes into the game directory.
  cp -r "$dir" "$tmp/$name"
  rm -f "$tmp/$name/VUNT.DAT"
  timeout -k 2 30 "$vunt" --headless --input "$dir/input.txt" "$tmp/$name" >"$tmp/$name.out" 2>"$tmp/$name.err"
  check "$name: exit status" 0 $?
  if diff -u "$dir/transcript.txt" "$tmp/$name.out" >"$tmp/$name.diff"; then
    echo "ok   $name: transcript"
  else
    echo "FAIL $name: transcript differs"; cat "$tmp/$name.diff"; fail=1
  fi
  (cd "$dir" && timeout -k 2 30 "$bin/vunt-lint" .) >"$tmp/$name.lint" 2>&1
  status=$?
  findings=$(grep -E '^[^ ]*vunt-n\.zad:[0-9]+(:[0-9]+)?: (error|warning):' "$tmp/$name.lint")
  expected=${known_false_alarms[$name]:-}
  if [ -n "$expected" ]; then
    check "$name: lint reports only its known false alarm" "$expected" "$findings"
  else
    check "$name: lint status" 0 "$status"
    check "$name: lint findings" "" "$findings"
  fi
done
check "example games" 8 "$games"

# The puzzle example's stage file is packed from the stage text beside it.
"$bin/vunt-stage" pack "$root/examples/puzzle/stages.txt" "$tmp/vunt.pdt"
cmp -s "$tmp/vunt.pdt" "$root/examples/puzzle/vunt.pdt"; check "puzzle: vunt.pdt packed from stages.txt" 0 $?

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
  if [[ $line =~ ^'Example: `examples/'([a-z-]+)'`, line '([0-9]+)':'$ ]]; then
    game=${BASH_REMATCH[1]}; first=${BASH_REMATCH[2]}
    [ -f "$root/examples/$game/vunt-n.zad" ] || { echo "FAIL docs: no example game $game"; fail=1; }
  fi
  if [ "$line" = '```zad' ]; then
    if [ -z "$game" ]; then echo "FAIL docs: a zad block without an 'Example:' line before it"; fail=1; game=none; fi
    in_block=1; block=()
  fi
done <"$doc"
echo "ok   docs: $blocks example blocks checked"
missing=""
for s in "${!section_examples[@]}"; do [ "${section_examples[$s]}" = 1 ] || missing+=" $s"; done
check "docs: every command section has an example" "" "$missing"
check "docs: command sections" 40 "${#section_examples[@]}"

# --- docs/commands.md: every error text it lists is one the engine reports ---
while IFS= read -r text; do
  case $text in
    CASE*無し) grep -rqF 'U"無し"' "$root/src" ;;
    *) grep -rqF "U\"$text" "$root/src" ;;
  esac
  check "docs: error text $text is the engine's" 0 $?
done < <(sed -n '/^## Error reports/,/^## /p' "$doc" | grep -oE '^\| `[^`]+`' | sed 's/^| `//; s/`$//')

exit $fail
