#!/usr/bin/env bash
# A game folder the player cannot write (an installed game): SAVE and LOAD use
# $XDG_DATA_HOME/vunt/<folder>-<hash>/VUNT.DAT and the folder stays untouched. The superuser
# writes anywhere, so as root the program runs as the unprivileged user "nobody" instead.
set -u
vunt=$1
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }

run=()
if [ "$(id -u)" = 0 ]; then
  if ! command -v setpriv >/dev/null; then echo "skipped: root without setpriv"; exit 0; fi
  run=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  if ! "${run[@]}" test -x "$vunt"; then echo "skipped: user nobody cannot run $vunt"; exit 0; fi
fi
chmod 755 "$tmp"
mkdir -p "$tmp/game" "$tmp/data" "$tmp/home"
chmod 777 "$tmp/data" "$tmp/home"
printf 'LET,1,5\r\nLET,2,-3\r\nSAVE\r\nLET,1,0\r\nLOAD\r\nEOF\r\n' >"$tmp/game/vunt-n.zad"
chmod 555 "$tmp/game"

HOME=$tmp/home XDG_DATA_HOME=$tmp/data timeout -k 5 20 "${run[@]}" "$vunt" --headless "$tmp/game" >"$tmp/out" 2>&1
check "save and load in a read-only folder" 'grep -q "^flags	0 5 -3 0" "$tmp/out"'
check "no box" '! grep -q "^error" "$tmp/out"'
check "save under XDG_DATA_HOME" 'ls "$tmp"/data/vunt/game-*/VUNT.DAT >/dev/null 2>&1'
check "game folder untouched" '[ "$(ls "$tmp/game")" = "vunt-n.zad" ]'

# Without XDG_DATA_HOME the save goes under ~/.local/share.
HOME=$tmp/home timeout -k 5 20 env -u XDG_DATA_HOME "${run[@]}" "$vunt" --headless "$tmp/game" >"$tmp/out2" 2>&1
check "save under ~/.local/share" 'ls "$tmp"/home/.local/share/vunt/game-*/VUNT.DAT >/dev/null 2>&1'
exit $fail
