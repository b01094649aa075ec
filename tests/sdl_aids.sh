#!/usr/bin/env bash
# The player aids in the real window: Ctrl skips pages up to a menu, F1 and the backlog take the
# clicks that close them, auto mode (A) answers a page by itself, and --record writes what the
# aids answered as the player's clicks: the record replays headless, without any aid, to the
# transcript of a play by plain clicks. A bad line of the settings file is named on stderr.
set -u
vunt=$1
source "$(dirname "$0")/lib/under_xvfb.bash"
export XDG_CONFIG_HOME=$tmp/config
mkdir -p "$tmp/game" "$XDG_CONFIG_HOME/vunt"
# The pages are new to this player: the setting lets skip pass unread pages too.
printf 'volume = loud\nskip_unread = on\n' >"$XDG_CONFIG_HOME/vunt/settings.ini"
# Three pages, a menu, one more page.
printf '%s\r\n' 'MES,＃00＠00いち￥' 'MES,＃00＠00に￥' 'MES,＃00＠00さん￥' 'CMST,1,＊右＊左' 'CMSL,1,8' \
  'CASE,100' 'LET,1,1' 'CASE,101' 'ENDCM' 'MES,＃00＠00おわり￥' 'EXIT' | iconv -f UTF-8 -t CP932 >"$tmp/game/vunt-n.zad"
printf 'click\nclick\nclick\nlabel 1\nclick\n' >"$tmp/plain.txt"
limit 20 "$vunt" --headless --input "$tmp/plain.txt" "$tmp/game" >"$tmp/expected"

limit 60 "$vunt" --scale 1 --record "$tmp/record.txt" "$tmp/game" 2>"$tmp/err" &
pid=$!
wid=$(limit 20 xdotool search --sync --onlyvisible --name '^Vunt$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$wid")"
at() { xdotool mousemove --window "$wid" $(($1 + (WIDTH - 440) / 2)) $(($2 + (HEIGHT - 384) / 2)); }
sleep 1
xdotool windowfocus --sync "$wid" 2>/dev/null
pixel() { import -window root -crop "1x1+$((X + (WIDTH - 440) / 2 + $1))+$((Y + (HEIGHT - 384) / 2 + $2))" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}' | head -1; }
before=$(pixel 300 20)
xdotool key F12; sleep 0.5                            # the debug overlay darkens the top
during=$(pixel 300 20)
xdotool key F12; sleep 0.3
[ -n "$before" ] && [ "$before" != "$during" ] && echo "ok   F12 shows the debug overlay" || { echo "FAIL F12: $before then $during"; fail=1; }
xdotool keydown ctrl; sleep 1.5; xdotool keyup ctrl   # skips the three pages; stops at the menu
xdotool key F1; sleep 0.3
at 220 352; xdotool click 1; sleep 0.3                # closes the help, reaches nothing else
xdotool click 4; sleep 0.3                            # wheel up: the backlog
xdotool click 1; sleep 0.3                            # closes it
at 168 304; xdotool click 1; sleep 0.5                # the second label
xdotool key a                                         # auto mode answers the last page
wait $pid; status=$?
check() { if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; fail=1; fi; }
check "window play ends" 0 $status
check "the record" "click click click label 1 click" "$(grep -v '^#' "$tmp/record.txt" | paste -sd' ')"
limit 20 "$vunt" --headless --input "$tmp/record.txt" "$tmp/game" >"$tmp/replayed"
if cmp -s "$tmp/expected" "$tmp/replayed"; then
  echo "ok   the record replays to the transcript of plain clicks"
else
  echo "FAIL the record replays otherwise"; diff "$tmp/expected" "$tmp/replayed"; fail=1
fi
grep -q "settings.ini:1" "$tmp/err" && echo "ok   the bad settings line is named" || { echo "FAIL no warning:"; cat "$tmp/err"; fail=1; }
exit $fail
