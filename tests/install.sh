#!/usr/bin/env bash
# `cmake --install` into a temporary DESTDIR: the program, the tools, the bundled game, the
# desktop entry and the icons land under the usual prefixes, and the installed program finds the
# installed game by itself and keeps its save under $XDG_DATA_HOME when the game folder is not
# its to write.
set -u
vunt=$1
src=$2
build=$(dirname "$vunt")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }

if ! DESTDIR="$tmp/root" timeout -k 5 60 cmake --install "$build" --prefix /usr >"$tmp/log" 2>&1; then
  cat "$tmp/log"
  echo "FAIL cmake --install"
  exit 1
fi
root=$tmp/root/usr
check "program installed" '[ -x "$root/bin/vunt" ]'
check "tools installed" '[ -x "$root/bin/vunt-lint" ] && [ -x "$root/bin/vunt-stage" ]'
check "no test or build helper installed" '! ls "$root/bin" | grep -q -e test -e icon_png'
check "bundled game installed" '[ -f "$root/share/vunt/game/vunt-n.zad" ] && [ -f "$root/share/vunt/game/vunt.pdt" ]'
check "game installed whole" 'diff -r "$src/game" "$root/share/vunt/game" >/dev/null'
check "desktop entry" 'grep -q "^Exec=vunt$" "$root/share/applications/vunt.desktop" && grep -q "^Icon=vunt$" "$root/share/applications/vunt.desktop"'
# A PNG's width and height are the big-endian words at bytes 16 and 20.
png_size() { od -An -tu1 -j16 -N8 "$1" 2>/dev/null | awk '{print $3*256+$4 "x" $7*256+$8}'; }
for size in 32 64 128; do
  check "icon ${size}x${size}" '[ "$(png_size "$root/share/icons/hicolor/${size}x${size}/apps/vunt.png")" = "${size}x${size}" ]'
done
if command -v desktop-file-validate >/dev/null; then
  check "desktop entry valid" 'desktop-file-validate "$root/share/applications/vunt.desktop"'
fi

# The installed program, given no folder, plays the installed game: its title menu comes up.
printf 'click\n' >"$tmp/input"
HOME=$tmp/home XDG_DATA_HOME=$tmp/data timeout -k 5 30 "$root/bin/vunt" --headless --input "$tmp/input" >"$tmp/out" 2>&1
check "installed program finds the installed game" 'grep -q "^menu" "$tmp/out" || grep -q "^page" "$tmp/out"'
exit $fail
