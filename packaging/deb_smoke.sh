#!/usr/bin/env bash
# Unpacks the Debian packages in DIR into a scratch root (dpkg -x, no installing) and checks what a
# player gets: the game in /usr/games plays its installed game headless up to its first menu, the
# tools answer --help, every program has its manual page, and the desktop entry and icons are
# there.
#   packaging/deb_smoke.sh DIR
set -u
dir=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }

debs=("$dir"/vunt_*.deb "$dir"/vunt-tools_*.deb)
for deb in "${debs[@]}"; do
  check "unpack $(basename "$deb")" 'dpkg -x "$deb" "$tmp/root"'
done
root=$tmp/root/usr
check "game program in /usr/games" '[ -x "$root/games/vunt" ]'
check "game data in /usr/share/games" '[ -f "$root/share/games/vunt/game/vunt-n.zad" ]'
check "tools in /usr/bin" '[ -x "$root/bin/vunt-asm" ] && [ -x "$root/bin/vunt-lint" ] && [ -x "$root/bin/vunt-stage" ]'
for page in man6/vunt.6.gz man1/vunt-asm.1.gz man1/vunt-lint.1.gz man1/vunt-stage.1.gz; do
  check "manual page $page" '[ -s "$root/share/man/$page" ]'
done
check "desktop entry" 'grep -q "^Keywords=" "$root/share/applications/vunt.desktop"'
check "icons" '[ -s "$root/share/icons/hicolor/128x128/apps/vunt.png" ]'
check "copyright" '[ -s "$root/share/doc/vunt/copyright" ] && [ -s "$root/share/doc/vunt-tools/copyright" ]'
for tool in vunt-asm vunt-lint vunt-stage; do
  check "$tool --help" 'timeout -k 5 30 "$root/bin/$tool" --help | grep -q "^usage: $tool"'
done

# Given no folder, the installed program plays the installed game: clicks go by until the first
# menu, which a click does not answer, so the input runs out there (status 3) or the game ends.
for _ in $(seq 20); do echo click; done >"$tmp/input"
HOME=$tmp/home XDG_DATA_HOME=$tmp/data XDG_CONFIG_HOME=$tmp/config \
  timeout -k 5 60 "$root/games/vunt" --headless --input "$tmp/input" >"$tmp/out" 2>"$tmp/err"
status=$?
check "installed game plays headless (status $status)" '[ "$status" = 0 ] || [ "$status" = 3 ]'
check "installed game reaches its first menu" 'grep -q "^menu	" "$tmp/out"'
check "installed game reports no error" '! grep -q "^error" "$tmp/out"'
check "saves nothing into the installed game" '[ ! -e "$root/share/games/vunt/game/VUNT.DAT" ]'
[ "$fail" = 0 ] || { echo "--- transcript"; cat "$tmp/out" "$tmp/err"; }
exit $fail
