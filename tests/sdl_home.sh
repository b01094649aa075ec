#!/usr/bin/env bash
# The player's home stays as it was when the game plays a sound in the window without a desktop
# session (no session bus, no sound server, no runtime folder): the libraries would otherwise make
# ~/.config/pulse (and start dbus-launch, where it is installed).
set -u
vunt=$1
root=$2
source "$(dirname "$0")/lib/under_xvfb.bash"
mkdir "$tmp/home" "$tmp/game"
cp "$root/game/A-CLEAR.wav" "$tmp/game/"
printf 'SOUND,A-CLEAR,0\r\nSAVE\r\nEOF\r\n' >"$tmp/game/vunt-n.zad"
limit 20 env -u SDL_AUDIODRIVER -u DBUS_SESSION_BUS_ADDRESS -u XDG_RUNTIME_DIR -u PULSE_SERVER -u XDG_CONFIG_HOME \
  -u XDG_DATA_HOME HOME="$tmp/home" "$vunt" "$tmp/game"
status=$?
[ $status = 0 ] && echo "ok   the game ran to EOF" || { echo "FAIL status $status"; fail=1; }
[ -e "$tmp/game/VUNT.DAT" ] && echo "ok   the line after the sound ran" || { echo "FAIL the sound held the game"; fail=1; }
left=$(cd "$tmp/home" && find . -mindepth 1 | head -5 | paste -sd' ')
[ -z "$left" ] && echo "ok   nothing written into the home" || { echo "FAIL written into the home: $left"; fail=1; }
exit $fail
