#!/usr/bin/env bash
# Sound files that are no wave files, or no files at all, in the real window: a pipe, a text, a
# file of another format, and wave files whose conversion to the device's format would crash or
# take gigabytes (64 MiB at 1000 Hz and at 8 kHz). Each is unplayable (the chime plays, or nothing
# with flag 2) and the game goes on at once; a pipe without a writer must not hold it.
set -u
vunt=$1
source "$(dirname "$0")/lib/under_xvfb.bash"
echo "not a wave" >"$tmp/text.wav"
printf 'OggS\0\2\0\0' >"$tmp/ogg.wav"
mkfifo "$tmp/pipe.wav"
# An 8-bit mono wave of 64 MiB in all, its samples not stored (a sparse file): RATE as 4 bytes.
huge_wave() {  # huge_wave FILE RATE_BYTES
  local size=$((64 * 1024 * 1024))
  {
    printf 'RIFF'; printf "$(printf '\\x%02x' $(((size - 8) & 255)) $(((size - 8) >> 8 & 255)) $(((size - 8) >> 16 & 255)) $(((size - 8) >> 24)))"
    printf 'WAVEfmt \x10\0\0\0\x01\0\x01\0'; printf "$2$2"; printf '\x01\0\x08\0'
    printf 'data'; printf "$(printf '\\x%02x' $(((size - 44) & 255)) $(((size - 44) >> 8 & 255)) $(((size - 44) >> 16 & 255)) $(((size - 44) >> 24)))"
  } >"$1"
  truncate -s $size "$1"
}
huge_wave "$tmp/slow.wav" '\xe8\x03\0\0'    # 1000 Hz
huge_wave "$tmp/long.wav" '\x40\x1f\0\0'    # 8 kHz
printf 'SOUND,pipe,0\r\nSOUND,text,0\r\nSOUND,ogg,2\r\nSOUND,pipe,3\r\nSOUND,slow,0\r\nSOUND,long,2\r\nSAVE\r\nEOF\r\n' >"$tmp/vunt-n.zad"
start=$(date +%s%N)
limit 20 "$vunt" "$tmp"
status=$?
ms=$(( ($(date +%s%N) - start) / 1000000 ))
fail=0
[ $status = 0 ] && echo "ok   the game ran to EOF" || { echo "FAIL status $status"; fail=1; }
[ -e "$tmp/VUNT.DAT" ] && echo "ok   the line after the sounds ran" || { echo "FAIL the sounds held the game"; fail=1; }
[ $ms -lt 5000 ] && echo "ok   done in $ms ms" || { echo "FAIL took $ms ms"; fail=1; }
exit $fail
