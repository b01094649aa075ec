#!/usr/bin/env bash
# Measures, under a virtual X server, what the message waits cost on the real window:
#   1. CPU use while a message waits for a click (goal: under 1 % of one core);
#   2. CPU use during a long typing delay ("＃99": 990 ms per character);
#   3. typing-delay accuracy with "＃05" (goal: median error under 2 ms), through vunt_bench.
# Run by hand from the repository root after a build:
#   bash bench/message_waits.sh [BUILD_DIR] [SECONDS]
set -u
build=${1:-build}
seconds=${2:-10}
if [ -z "${VUNT_UNDER_XVFB:-}" ]; then
  VUNT_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
export SDL_AUDIODRIVER=dummy
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
hz=$(getconf CLK_TCK)

# CPU time (user + system) of a process in clock ticks.
cputicks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# Plays the script in $tmp/NAME for a while and prints the CPU share of one core it used.
measure() {
  local name=$1 what=$2
  "$build/vunt" "$tmp/$name" 2>/dev/null &
  local pid=$!
  sleep 1.5  # start-up and the first frame are not part of the wait
  local t0 c0 t1 c1
  t0=$(date +%s%N); c0=$(cputicks $pid)
  sleep "$seconds"
  t1=$(date +%s%N); c1=$(cputicks $pid)
  kill $pid; wait $pid 2>/dev/null
  awk -v c=$((c1 - c0)) -v hz="$hz" -v ns=$((t1 - t0)) -v what="$what" \
    'BEGIN { printf "%-34s %6.2f %% of one core (%d ticks of 1/%d s in %.1f s)\n", what, 100 * c / hz / (ns / 1e9), c, hz, ns / 1e9 }'
}

script() {  # script NAME LINE... : a game directory whose script is the lines (UTF-8)
  local name=$1; shift
  mkdir -p "$tmp/$name"
  printf '%s\r\n' "$@" >"$tmp/$name/vunt-n.zad"
}

script click 'MES,＆1ミサキ：1クリックを待っています。￥' 'EOF'
script delay 'MES,＃99' "MES,$(printf 'あ%.0s' $(seq 60))" 'EOF'

measure click "waiting for a click:"
measure delay "typing with a 990 ms delay:"
if [ -x "$build/vunt_bench" ]; then
  "$build/vunt_bench" --benchmark_filter=TypingDelay 2>/dev/null | grep -E 'TypingDelay|error'
else
  echo "no $build/vunt_bench: build with -DVUNT_BENCH=ON for the typing-delay accuracy"
fi
