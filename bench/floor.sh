#!/usr/bin/env bash
# Vunt side by side with the floor: a bare SDL window (bench/floor/floor_window.cpp: SDL_Init of
# video, a 440 x 384 window, one software present, a wait) and a bare interpreter
# (bench/floor/floor_interpreter.cpp: the same lines decoded once and run by a switch), both
# built with the benchmarks. The runs alternate between the programs; each figure is the median
# of RUNS runs, and the ratio is Vunt / floor:
#   lines/s, IF/INC/GOTO      vunt_bench's BM_IfIncGotoLoop against the bare interpreter, per
#                             second of CPU time (both)
#   lines/s, message 1 in 8   BM_MessageEvery8thLine against the bare interpreter, whose message
#                             clears the message area and copies the covered pixels of glyphs
#                             rendered and blended once
#   typing CPU                CPU while a message types one character every 990 ms ("＃99"),
#                             against the bare window presenting one cell every 990 ms
#   start CPU                 CPU time used from the start to the first wait (read 1 s after the
#                             window is mapped, when both sit in their wait)
#   resident                  VmRSS in that first wait (Vunt: a click wait)
#   waits                     CPU share and wake-ups a second (context switches of all threads)
#                             in a click wait, a menu, the puzzle and the picture window
#   1,000 lines               headless, a script of 1,000 lines run once: CPU time and peak
#                             resident memory, against a script of two lines
# The windows open on a virtual X server of the script's own at the game's size (--scale 1).
# Run by hand from the repository root after a build, niced, on a machine as quiet as it gets:
#   nice bash bench/floor.sh [BUILD_DIR (build)] [RUNS (10)]
# Environment: IDLE_SECONDS (4), the time each wait is measured; FIGURES, the figures to measure
# (some of: loop message typing click menu puzzle picture headless; all by default); BEFORE, the
# vunt of an older build, whose window figures are measured in the same runs and shown beside.
set -u
build=$(realpath "${1:-build}")
runs=${2:-10}
idle=${IDLE_SECONDS:-4}
figures=${FIGURES:-loop message typing click menu puzzle picture headless}
before=${BEFORE:+$(realpath "$BEFORE")}
vunt=$build/vunt bench=$build/vunt_bench
floor_window=$build/vunt_floor_window floor_interpreter=$build/vunt_floor_interpreter
for tool in Xvfb xev python3 fc-match "$vunt" "$bench" "$floor_window" "$floor_interpreter" ${before:+"$before"}; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (build with the benchmarks: libbenchmark-dev)"; exit 1; }
done
game=$(realpath "$(dirname "$0")/../game")
font=$(fc-match -f '%{file}' 'IPAGothic')
[ -r "$font" ] || { echo "no IPA Gothic font (apt-get install fonts-ipafont-gothic)"; exit 1; }

tmp=$(mktemp -d)
pid="" xvfb_pid="" xev_pid=""
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  [ -n "$xev_pid" ] && kill "$xev_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# script NAME LINE...: a game folder whose script is the lines (UTF-8).
script() {
  local name=$1
  shift
  mkdir -p "$tmp/$name"
  printf '%s\r\n' "$@" >"$tmp/$name/vunt-n.zad"
}
script click 'MES,＆1ミサキ：1日本語の一行を表示してクリックを待ちます。￥' 'EOF'
script typing 'MES,＃99' "MES,$(printf 'あ%.0s' $(seq 60))" 'EOF'
script menu 'CMST,0,＊はい＊いいえ' 'CMSL,0,5' 'CASE,0' 'CASE,1' 'ENDCM' 'EOF'
script puzzle 'BEED,1,1' 'EOF'
cp "$game/vunt.pdt" "$tmp/puzzle/"
script picture 'GHGD,asa' 'EOF'
cp "$game/asa.szg" "$tmp/picture/"
# The lines of vunt_bench's loops, for the bare interpreter.
script loop 'INC,1,100,L' 'IF,F01{50&F02=00,4' 'DO' 'GOTO,1'
script message 'MES,あいうえおかきくけこさしすせそたちつてと' 'INC,1,100,L' 'IF,F01{50&F02=00,5' 'DO' 'DO' 'DO' 'DO' 'GOTO,1'
# A script of 1,000 lines, every kind of line that runs without the player, run once.
python3 - "$tmp" <<'PY'
import os, sys
tmp = sys.argv[1]
body = ["LET,1,0", "INC,1,100,L", "IF,F01{50&F02=00,{n}", "MES,＠04あいうえおかきくけこ", "LBHGV,0,F01",
        "GOSUB,{s}", "CMST,0,＊はい＊いいえ", "ADDCM,1,2,＊そこ", "ITMS,1,＠02いいえ", "DO"]
lines = []
while len(lines) < 996:
    lines.append(body[len(lines) % len(body)])
lines = [l.replace("{n}", str(i + 2)).replace("{s}", "998") for i, l in enumerate(lines)]
lines += ["GOTO,999", "RET", "EOF", "EOF"]
for name, text in (("big", lines), ("small", ["DO", "EOF"])):
    os.makedirs(f"{tmp}/{name}", exist_ok=True)
    with open(f"{tmp}/{name}/vunt-n.zad", "w", encoding="utf-8", newline="") as f:
        f.write("".join(l + "\r\n" for l in text))
PY

# A virtual X server on a display it picks itself, and every window mapped there into a pipe.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 200); do [ -s "$tmp/display" ] && break; sleep 0.05; done
[ -s "$tmp/display" ] || { echo "the virtual X server did not start"; exit 1; }
export DISPLAY=:$(head -1 "$tmp/display") SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
mkfifo "$tmp/maps"
exec 4<>"$tmp/maps"
xev -root -event substructure > >(while IFS= read -r l; do [[ $l == MapNotify* ]] && echo x >&4; done) &
xev_pid=$!
sleep 0.5

threads() {  # per thread of process $1: its id, CPU time (ns) and context switches
  local t run rest
  for t in /proc/$1/task/*; do
    read -r run rest <"$t/schedstat" 2>/dev/null || continue
    echo "${t##*/} $run $(awk '/ctxt_switches/ { n += $2 } END { print n + 0 }' "$t/status" 2>/dev/null)"
  done
}
# between BEFORE AFTER COLUMN: what the threads used from one snapshot to the other (a thread that
# ended in between is left out; one that began counts from 0).
between() {
  awk -v c="$3" 'NR == FNR { was[$1] = $c; next } { n += $c - ($1 in was ? was[$1] : 0) } END { print n + 0 }' "$1" "$2"
}
record() { echo "$2" >>"$tmp/$1.txt"; }  # record FIGURE VALUE

# window FIGURE_PREFIX COMMAND...: starts a window program, waits for its map, then records
# PREFIX.start (CPU ms), PREFIX.rss (MiB), PREFIX.cpu (% of one core) and PREFIX.wake (per second).
window() {
  local prefix=$1 t0 t1
  shift
  while read -r -t 0.01 -u 4 _; do :; done
  "$@" >/dev/null 2>&1 &
  pid=$!
  read -r -t 20 -u 4 _ || { echo "$prefix: no window within 20 s"; exit 1; }
  sleep 1
  threads $pid >"$tmp/before"
  t0=$EPOCHREALTIME
  record "$prefix.start" "$(awk '{ c += $2 } END { printf "%.1f", c / 1e6 }' "$tmp/before")"
  record "$prefix.rss" "$(awk '/^VmRSS/ { printf "%.1f", $2 / 1024 }' /proc/$pid/status)"
  sleep "$idle"
  threads $pid >"$tmp/after"
  t1=$EPOCHREALTIME
  record "$prefix.cpu" "$(awk -v c="$(between "$tmp/before" "$tmp/after" 2)" -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", c / ((b - a) * 1e9) * 100 }')"
  record "$prefix.wake" "$(awk -v n="$(between "$tmp/before" "$tmp/after" 3)" -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f", n / (b - a) }')"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=""
}

# headless PREFIX DIR: CPU ms and peak resident MiB of a headless run.
headless() {
  local out
  out=$(python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
r = resource.getrusage(resource.RUSAGE_CHILDREN)
print("%.2f %.1f" % ((r.ru_utime + r.ru_stime) * 1000, r.ru_maxrss / 1024))' "$vunt" --headless "$2")
  record "$1.cpu" "${out% *}"
  record "$1.rss" "${out#* }"
}

lines_vunt() {  # lines_vunt FIGURE BENCHMARK
  record "$1" "$("$bench" --benchmark_filter="^$2\$" --benchmark_min_time=1 --benchmark_format=json 2>/dev/null |
    python3 -c 'import json,sys; print(json.load(sys.stdin)["benchmarks"][0]["lines/s"])')"
}
lines_floor() { record "$1" "$("$floor_interpreter" "$tmp/$2/vunt-n.zad" 1 "$font" | awk '{ print $2 }')"; }

wanted() { [[ " $figures " == *" $1 "* ]]; }
echo "Vunt $vunt against the floor${before:+ (and $before before)}, $runs runs each, waits measured for $idle s"
for i in $(seq "$runs"); do
  steps=()
  wanted loop && steps+=("lines_vunt loop.vunt BM_IfIncGotoLoop" "lines_floor loop.floor loop")
  wanted message && steps+=("lines_vunt message.vunt BM_MessageEvery8thLine" "lines_floor message.floor message")
  # The click wait is the first wait: start CPU and memory come from it.
  wanted click && steps+=("window click.vunt $vunt --scale 1 $tmp/click" "window click.floor $floor_window")
  wanted typing && steps+=("window typing.vunt $vunt --scale 1 $tmp/typing" "window typing.floor $floor_window --every 990")
  for w in menu puzzle picture; do wanted $w && steps+=("window $w.vunt $vunt --scale 1 $tmp/$w"); done
  wanted headless && steps+=("headless big.vunt $tmp/big" "headless small.vunt $tmp/small")
  if [ -n "$before" ]; then
    for w in click typing menu puzzle picture; do wanted $w && steps+=("window $w.before $before --scale 1 $tmp/$w"); done
  fi
  # Every other run goes backwards, which spreads the machine's drift over both sides.
  if ((i % 2)); then for s in "${steps[@]}"; do $s; done
  else for ((k = ${#steps[@]} - 1; k >= 0; --k)); do ${steps[k]}; done; fi
  echo "run $i of $runs done"
done

median() {  # the median of a figure's values (0 when it was not measured)
  [ -f "$tmp/$1.txt" ] || { echo 0; return; }
  sort -g "$tmp/$1.txt" | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
row() {  # row LABEL VUNT_FIGURE FLOOR_FIGURE GOAL; nothing when the figure was not measured
  [ -f "$tmp/$2.txt" ] || return 0
  awk -v l="$1" -v a="$(median "$2")" -v b="$(median "$3")" -v g="$4" \
    'BEGIN { printf "%-40s %12.4g %12.4g %8.3f   %s\n", l, a, b, (b > 0 ? a / b : 0), g }'
}
echo
printf '%-40s %12s %12s %8s   %s\n' figure vunt floor ratio goal
row "lines/s, IF/INC/GOTO loop" loop.vunt loop.floor ">= 0.3"
row "lines/s, a message every 8th line" message.vunt message.floor ">= 0.8"
row "CPU % typing 1 character / 990 ms" typing.vunt.cpu typing.floor.cpu "<= 2"
row "  the same, before" typing.before.cpu typing.floor.cpu ""
row "wake-ups/s typing" typing.vunt.wake typing.floor.wake ""
row "  the same, before" typing.before.wake typing.floor.wake ""
row "CPU ms, start to first wait" click.vunt.start click.floor.start "<= 1.2"
row "  the same, before" click.before.start click.floor.start ""
row "resident MiB in the first wait" click.vunt.rss click.floor.rss "<= 1.6"
row "  the same, before" click.before.rss click.floor.rss ""
for w in click menu puzzle picture; do
  for who in vunt before; do
    [ -f "$tmp/$w.$who.cpu.txt" ] || continue
    label="$w wait"; [ "$who" = before ] && label="$w wait, before"
    printf '%-40s %12.4g %12.4g %8s   %s\n' "CPU % in the $label" "$(median $w.$who.cpu)" "$(median click.floor.cpu)" "" "< 0.02 %"
    printf '%-40s %12.4g %12.4g %8s   %s\n' "wake-ups/s in the $label" "$(median $w.$who.wake)" "$(median click.floor.wake)" "" "<= 2"
  done
done
row "headless 1,000 lines: CPU ms (/ 2 lines)" big.vunt.cpu small.vunt.cpu ""
row "headless 1,000 lines: peak MiB (/ 2 lines)" big.vunt.rss small.vunt.rss ""
