#!/usr/bin/env bash
# Sound files that are no wave files, or no files at all, in the real window: a pipe, a text, a
# file of another format. Each is unplayable (the chime plays, or nothing with flag 2) and the game
# goes on at once; a pipe without a writer must not hold it.
set -u
vunt=$1
if [ -z "${VUNT_UNDER_XVFB:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed"; exit 1; }
  VUNT_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
export SDL_AUDIODRIVER=dummy
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echo "not a wave" >"$tmp/text.wav"
printf 'OggS\0\2\0\0' >"$tmp/ogg.wav"
mkfifo "$tmp/pipe.wav"
printf 'SOUND,pipe,0\r\nSOUND,text,0\r\nSOUND,ogg,2\r\nSOUND,pipe,3\r\nSAVE\r\nEOF\r\n' >"$tmp/vunt-n.zad"
timeout -k 1 20 "$vunt" "$tmp"
status=$?
fail=0
[ $status = 0 ] && echo "ok   the game ran to EOF" || { echo "FAIL status $status"; fail=1; }
[ -e "$tmp/VUNT.DAT" ] && echo "ok   the line after the sounds ran" || { echo "FAIL the sounds held the game"; fail=1; }
exit $fail
