#!/usr/bin/env bash
# Sound files that are no wave files, or no files at all, in the real window: a pipe, a text, a
# file of another format. Each is unplayable (the chime plays, or nothing with flag 2) and the game
# goes on at once; a pipe without a writer must not hold it.
set -u
vunt=$1
source "$(dirname "$0")/lib/under_xvfb.bash"
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
