#!/usr/bin/env bash
# Vunt's start and idle costs side by side with ONScripter (Debian package `onscripter`, another
# engine of the same kind, installed for this comparison only), on one virtual X server that this
# script starts itself. Each engine shows one line of Japanese text and waits for a click; the
# runs alternate between the engines. For each run:
#   mapped    time from the process's start until its window is mapped (a MapNotify on the root
#             window, read as it arrives by `xev`, so no polling adds its own delay)
#   resident  VmRSS one second later, in the click wait
#   idle CPU  CPU time of all the process's threads (/proc/PID/task/*/schedstat, nanoseconds)
#             over the next IDLE_SECONDS, as a share of one core
# and at the end each engine's medians and the ratios Vunt / ONScripter. Goals: mapped in at
# most half of ONScripter's time, at most 25 MiB resident, at most 0.2 % idle CPU.
# Run by hand, niced, on an otherwise quiet machine (a busy one shifts the times; run it twice):
#   nice bash bench/window_start.sh [build/vunt] [RUNS (10)]
# Environment: ONSCRIPTER (its program), SCREEN (1280x1024: Vunt opens at 2x there),
# IDLE_SECONDS (5). Both engines run with the machine's own audio setup.
set -u
vunt=$(realpath "${1:-build/vunt}")
runs=${2:-10}
idle=${IDLE_SECONDS:-5}
screen=${SCREEN:-1280x1024}
onscripter=${ONSCRIPTER:-$(command -v onscripter || echo /usr/games/onscripter)}
for tool in Xvfb xev iconv fc-match "$onscripter" "$vunt"; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (ONScripter: apt-get install onscripter)"; exit 1; }
done
font=$(fc-match -f '%{file}' 'IPAGothic')
[ -r "$font" ] || { echo "no IPA Gothic font (apt-get install fonts-ipafont-gothic)"; exit 1; }

tmp=$(mktemp -d)
engine_pid="" xvfb_pid="" xev_pid=""
cleanup() {
  [ -n "$engine_pid" ] && kill -KILL "$engine_pid" 2>/dev/null
  [ -n "$xev_pid" ] && kill "$xev_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The two games: the same line, in code page 932, waiting for a click.
line='日本語の一行を表示してクリックを待ちます。'
mkdir "$tmp/vunt" "$tmp/ons"
printf 'MES,%s￥\r\nEOF\r\n' "$line" | iconv -f UTF-8 -t CP932 >"$tmp/vunt/vunt-n.zad"
printf '*define\r\ncaption "bench"\r\ngame\r\n*start\r\n%s\\\r\nend\r\n' "$line" |
  iconv -f UTF-8 -t CP932 >"$tmp/ons/0.txt"
ln -s "$font" "$tmp/ons/default.ttf"  # ONScripter's font is default.ttf in its game folder

# A virtual X server on a display it picks itself, so the script never races another for one.
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 200); do [ -s "$tmp/display" ] && break; sleep 0.05; done
[ -s "$tmp/display" ] || { echo "the virtual X server did not start"; exit 1; }
export DISPLAY=:$(head -1 "$tmp/display")

# Every window mapped on the screen: the moment it was seen, one line per window, into a pipe.
mkfifo "$tmp/maps"
exec 4<>"$tmp/maps"
xev -root -event substructure > >(while IFS= read -r l; do
  [[ $l == MapNotify* ]] && echo "$EPOCHREALTIME" >&4
done) &
xev_pid=$!
sleep 0.5  # xev has selected the events

# CPU time in nanoseconds of all threads of process $1.
cpu_ns() {
  local total=0 run rest f
  for f in /proc/$1/task/*/schedstat; do
    read -r run rest <"$f" 2>/dev/null && total=$((total + run))
  done
  echo $total
}
ms_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b - a) * 1000 }'; }

# One run of engine $1 (vunt or onscripter): appends "mapped_ms rss_mib cpu_percent" to
# $tmp/$1.txt.
measure() {
  local name=$1 start mapped rss c0 c1 t0 t1
  while read -r -t 0.01 -u 4 _; do :; done  # maps of earlier runs
  start=$EPOCHREALTIME
  if [ "$name" = vunt ]; then
    "$vunt" "$tmp/vunt" >/dev/null 2>&1 &
  else
    "$onscripter" -r "$tmp/ons" >/dev/null 2>&1 &
  fi
  engine_pid=$!
  if ! read -r -t 20 -u 4 mapped; then
    echo "$name: no window within 20 s"
    exit 1
  fi
  sleep 1
  rss=$(awk '/^VmRSS/ {print $2}' /proc/$engine_pid/status)
  t0=$EPOCHREALTIME c0=$(cpu_ns $engine_pid)
  sleep "$idle"
  t1=$EPOCHREALTIME c1=$(cpu_ns $engine_pid)
  kill "$engine_pid" 2>/dev/null
  for _ in $(seq 50); do kill -0 "$engine_pid" 2>/dev/null || break; sleep 0.05; done
  kill -KILL "$engine_pid" 2>/dev/null
  wait "$engine_pid" 2>/dev/null
  engine_pid=""
  awk -v m="$(ms_between "$start" "$mapped")" -v r="$rss" -v c=$((c1 - c0)) -v a="$t0" -v b="$t1" \
    'BEGIN { printf "%s %.1f %.2f\n", m, r / 1024, c / ((b - a) * 1e9) * 100 }' >>"$tmp/$name.txt"
  printf '%-10s run %2d: mapped %7s ms, resident %5s MiB, idle CPU %5s %%\n' "$name" "$2" \
    $(tail -1 "$tmp/$name.txt")
}

echo "Vunt $vunt and ONScripter $("$onscripter" --version 2>&1 | grep -m1 -o 'version [^ ]*'), screen $screen, $runs runs each"
for i in $(seq "$runs"); do
  # Alternating which engine goes first spreads the machine's drift over both.
  if ((i % 2)); then measure onscripter "$i"; measure vunt "$i"; else measure vunt "$i"; measure onscripter "$i"; fi
done

# The median of column $2 of file $1.
median() {
  cut -d' ' -f"$2" "$1" | sort -g | awk '{ v[NR] = $1 } END {
    printf "%.2f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
echo
printf '%-22s %12s %14s %10s\n' median "mapped (ms)" "resident (MiB)" "idle CPU %"
for name in onscripter vunt; do
  printf '%-22s %12s %14s %10s\n' "$name" "$(median "$tmp/$name.txt" 1)" "$(median "$tmp/$name.txt" 2)" "$(median "$tmp/$name.txt" 3)"
done
ratio() { awk -v a="$(median "$tmp/vunt.txt" "$1")" -v b="$(median "$tmp/onscripter.txt" "$1")" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
printf '%-22s %12s %14s %10s\n' "vunt / onscripter" "$(ratio 1)" "$(ratio 2)" "$(ratio 3)"
verdict() { awk -v v="$1" -v g="$2" 'BEGIN { print (v <= g ? "met" : "MISSED") }'; }
echo "goals: mapped <= 0.5 x ONScripter's: $(verdict "$(ratio 1)" 0.5)," \
  "resident <= 25 MiB: $(verdict "$(median "$tmp/vunt.txt" 2)" 25)," \
  "idle CPU <= 0.2 %: $(verdict "$(median "$tmp/vunt.txt" 3)" 0.2)"
