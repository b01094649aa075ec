#!/usr/bin/env bash
# The bundled game plays the same without the mouse: each walkthrough, its clicks and menu labels
# turned into the keyboard's Enter and arrows, and again into a game controller's buttons (A for
# Enter, the D-pad for the arrows and the puzzle's moves, B for the puzzle's Esc), gives the
# transcript the mouse gives, byte for byte.
set -u
vunt=$1
root=$2
build=$(dirname "$vunt")
data=$root/tests/data/game
source "$(dirname "$0")/lib/limits.bash"
fail=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
[ -x "$build/vunt-stage" ] || { echo "vunt-stage is not built: the walkthroughs need its solver"; exit 1; }

# Clicks (a page, the picture window) become Enter; "label N" moves the highlight from none to
# the N+1-th label and chooses it. The right click of the menu stays the mouse's: it has no key.
keys() {
  awk '$1 == "click" || $1 == "space" { print "enter"; next }
       $1 == "label" { for (i = 0; i <= $2; i++) print "down"; print "enter"; next }
       { print }'
}
pad() {
  awk '$1 == "click" || $1 == "space" { print "pad a"; next }
       $1 == "label" { for (i = 0; i <= $2; i++) print "pad right"; print "pad a"; next }
       $1 == "left" || $1 == "right" || $1 == "up" || $1 == "down" { print "pad " $1; next }
       $1 == "esc" { print "pad b"; next }
       { print }'
}
# "continue" goes on from the game "save" saved, in the same copy of the game. "items" is left
# out: it clicks labels the menu has disabled, which nothing but the mouse can reach.
for how in in keys pad; do
  for name in after_storm bonfire challenge save continue true_ending; do
    [ "$name" = continue ] || { rm -rf "$tmp/game" && cp -r "$root/game" "$tmp/game" && rm -f "$tmp/game/VUNT.DAT"; }
    if [ ! -s "$tmp/$name.in" ]; then
      limit "$root/tools/game/expand_input.sh" "$build/vunt-stage" "$root/game/vunt.pdt" <"$data/$name.txt" >"$tmp/$name.in" ||
        { echo "FAIL $name: cannot expand"; fail=1; continue; }
      keys <"$tmp/$name.in" >"$tmp/$name.keys"
      pad <"$tmp/$name.in" >"$tmp/$name.pad"
    fi
    limit "$vunt" --headless --input "$tmp/$name.$how" "$tmp/game" >"$tmp/$name.$how.out" 2>/dev/null
    echo $? >"$tmp/$name.$how.status"
  done
done
for name in after_storm bonfire challenge save continue true_ending; do
  grep -q '^end	\(EOF\|EXIT\|close\)' "$tmp/$name.in.out" || { echo "FAIL $name: the mouse's play does not end"; fail=1; }
  for how in keys pad; do
    if cmp -s "$tmp/$name.in.out" "$tmp/$name.$how.out" && cmp -s "$tmp/$name.in.status" "$tmp/$name.$how.status"; then
      echo "ok   $name: $how play as the mouse does ($(grep -c '^page' "$tmp/$name.in.out") pages)"
    else
      echo "FAIL $name: $how differ from the mouse's play:"
      diff "$tmp/$name.in.out" "$tmp/$name.$how.out" | head -5
      fail=1
    fi
  done
done
exit $fail
