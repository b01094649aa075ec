#!/usr/bin/env bash
# `cmake --install` into a temporary DESTDIR: the program, the tools, the bundled game, the
# desktop entry, the icons and the manual pages land under the usual prefixes, and the installed program finds the
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
# The game's directories are the build's (a distribution may move them, as Debian's package does).
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
game_bin=$root/$(cache_value VUNT_INSTALL_GAME_BINDIR)
game_data=$root/$(cache_value VUNT_INSTALL_GAME_DATADIR)/game
check "program installed" '[ -x "$game_bin/vunt" ]'
check "tools installed" '[ -x "$root/bin/vunt-lint" ] && [ -x "$root/bin/vunt-stage" ]'
check "no test or build helper installed" '! ls "$root/bin" | grep -q -e test -e icon_png -e help_pages'
check "bundled game installed" '[ -f "$game_data/vunt-n.zad" ] && [ -f "$game_data/vunt.pdt" ]'
check "game installed whole" 'diff -r -x "VUNT.DAT*" "$src/game" "$game_data" >/dev/null'
check "desktop entry" 'grep -q "^Exec=vunt$" "$root/share/applications/vunt.desktop" && grep -q "^Icon=vunt$" "$root/share/applications/vunt.desktop"'
check "desktop entry has keywords" 'grep -q "^Keywords=.*;" "$root/share/applications/vunt.desktop"'
for page in man6/vunt.6 man1/vunt-asm.1 man1/vunt-lint.1 man1/vunt-stage.1; do
  check "manual page $page" '[ -s "$root/share/man/$page" ]'
done
# A PNG's width and height are the big-endian words at bytes 16 and 20, its colour type the byte
# at 25 (6: RGB with alpha).
png_size() { od -An -tu1 -j16 -N8 "$1" 2>/dev/null | awk '{print $3*256+$4 "x" $7*256+$8}'; }
png_colour_type() { od -An -tu1 -j25 -N1 "$1" 2>/dev/null | tr -d ' '; }
for size in 32 64 128; do
  icon=$root/share/icons/hicolor/${size}x${size}/apps/vunt.png
  check "icon ${size}x${size}" '[ "$(png_size "$icon")" = "${size}x${size}" ]'
  check "icon ${size}x${size} has alpha" '[ "$(png_colour_type "$icon")" = 6 ]'
  if command -v convert >/dev/null; then
    # The corner is sky, see-through; the middle of the tower is drawn.
    check "icon ${size}x${size} see-through around the lighthouse" \
      '[ "$(convert "$icon" -format "%[fx:p{0,0}.a] %[fx:p{w/2,h/2}.a]" info:)" = "0 1" ]'
  fi
done
# A save left in game/ by a play from the tree is the player's: the install leaves it out. The
# install script is run again over a copy of the game that holds one, a save in progress and one
# in another letter case, so the source tree is never written.
cp -r "$src/game" "$tmp/game"
printf '1\n' >"$tmp/game/VUNT.DAT"
printf '1\n' >"$tmp/game/VUNT.DAT.tmp"
printf '1\n' >"$tmp/game/VUNT.DAT.tmp.Ab12Cd"
printf '1\n' >"$tmp/game/vunt.dat"
sed "s#\"$src/game/\"#\"$tmp/game/\"#" "$build/cmake_install.cmake" >"$tmp/install.cmake"
check "install script names the game folder" 'grep -q "$tmp/game/" "$tmp/install.cmake"'
DESTDIR="$tmp/saves" timeout -k 5 60 cmake -DCMAKE_INSTALL_PREFIX=/usr -P "$tmp/install.cmake" >"$tmp/log2" 2>&1
saved=$tmp/saves/usr/$(cache_value VUNT_INSTALL_GAME_DATADIR)/game
check "game installed beside a save" '[ -f "$saved/vunt-n.zad" ]'
check "no save installed" '[ -z "$(ls "$saved" | grep -i "^vunt\.dat")" ]'

if command -v desktop-file-validate >/dev/null; then
  check "desktop entry valid" 'desktop-file-validate "$root/share/applications/vunt.desktop"'
fi

# The installed program, given no folder, plays the installed game: its title menu comes up.
printf 'click\n' >"$tmp/input"
HOME=$tmp/home XDG_DATA_HOME=$tmp/data timeout -k 5 30 "$game_bin/vunt" --headless --input "$tmp/input" >"$tmp/out" 2>&1
check "installed program finds the installed game" 'grep -q "^menu" "$tmp/out" || grep -q "^page" "$tmp/out"'
exit $fail
