#!/usr/bin/env bash
# The real window closed during its timed waits (a slow message, a synchronous sound): the game
# ends at once with status 0, and the SAVE line after the wait never runs. The window system's
# request to quit (here SIGTERM, which SDL turns into one) takes the window's close path.
set -u
vunt=$1
source "$(dirname "$0")/lib/under_xvfb.bash"

mkdir "$tmp/typing" "$tmp/sound"
# 99 x 10 ms per character: the message takes minutes to type.
printf 'MES,＃99\r\nMES,あいうえおかきくけこさしすせそ\r\nSAVE\r\nEOF\r\n' >"$tmp/typing/vunt-n.zad"
# Ten seconds of silence, played synchronously.
{
  printf 'RIFF'; printf '\x24\xb1\x06\x00'; printf 'WAVEfmt '
  printf '\x10\x00\x00\x00\x01\x00\x01\x00\x22\x56\x00\x00\x44\xac\x00\x00\x02\x00\x10\x00'
  printf 'data'; printf '\x00\xb1\x06\x00'
  head -c 438528 /dev/zero
} >"$tmp/sound/long.wav"
printf 'SOUND,long,0\r\nSAVE\r\nEOF\r\n' >"$tmp/sound/vunt-n.zad"

for game in typing sound; do
  timeout -k 1 20 "$vunt" "$tmp/$game" &
  pid=$!
  sleep 1.5
  start=$(date +%s%N)
  # The game itself: timeout would pass the signal on twice (see sdl_box_close.sh).
  kill -TERM "$(pgrep -P $pid || echo $pid)"
  wait $pid
  status=$?
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  [ $status = 0 ] && echo "ok   $game: status 0 after the close" || { echo "FAIL $game: status $status"; fail=1; }
  # Both waits last far longer than 5 s: ending before that shows the wait was left, whatever the
  # machine's load (the time itself is said, not judged).
  [ $ms -lt 5000 ] && echo "ok   $game: ended ${ms} ms after the close" || { echo "FAIL $game: took ${ms} ms"; fail=1; }
  [ ! -e "$tmp/$game/VUNT.DAT" ] && echo "ok   $game: no line ran after the wait" || { echo "FAIL $game: SAVE ran"; fail=1; }
done
exit $fail
