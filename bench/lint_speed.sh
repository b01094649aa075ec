#!/usr/bin/env bash
# How long vunt-lint takes: on the bundled game (its stages solved included) and on a generated
# script of 1000 lines of rooms with menus, FP tables, flags, loops and a subroutine, whose lines
# the flow analysis must all follow (goal: under 100 ms). Run by hand from the repository root
# after a build:
#   bash bench/lint_speed.sh [BUILD_DIR] [GAME_DIR] [OTHER_VUNT_LINT]
# The bundled game is timed twice: searching every stage ("cold": no verdicts kept), and with
# the solver's verdicts of an earlier run ("warm", as when the author checks the game again; the
# verdicts live in a folder of this script's own, not in the user's cache). With perf installed
# it prints the median CPU time (task-clock) of RUNS runs (default 11); without, the least wall
# time. Given another vunt-lint (an older build, say), the runs alternate between the two and the
# script prints both medians and their ratio: on a shared machine only figures taken side by side
# compare.
# Last figures, on a 2-core machine shared by several builds (load 5 to 6), 11 alternating runs
# against the build before this release's solver, flow analysis and picture changes (which took
# 238 ms of CPU on the bundled game on a quieter day): the bundled game 276 ms of CPU before, 166
# ms now with every stage searched (0.60) and 53 ms with the verdicts kept (0.20); the 1000-line
# script 12.0 ms before, 8.9 ms now. Where the time goes with every stage searched: the stage
# solver two thirds (476,000 positions for the 24 stages), the flow analysis most of the rest (it
# keeps points apart by their registers, gives up past 6,000 of them and starts again coarser,
# in both of its passes over the bundled game).
set -u
build=${1:-build}
game=${2:-game}
other=${3:-}
runs=${RUNS:-11}
lint=$build/vunt-lint
[ -x "$lint" ] || { echo "no $lint"; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
perf_ok=false
perf stat -x, -e task-clock true >/dev/null 2>&1 && perf_ok=true

# cpu MODE BIN DIR: milliseconds of one run. MODE cold: no verdicts kept; warm: verdicts from a
# first run kept in the folder of this binary.
cpu() {
  local mode=$1 bin=$2 dir=$3 cache
  cache="$tmp/cache-$(echo "$bin" | md5sum | cut -c1-8)"
  if [ "$mode" = cold ]; then
    rm -rf "$cache"
  elif [ ! -d "$cache" ]; then
    XDG_CACHE_HOME=$cache "$bin" "$dir" >/dev/null 2>&1
  fi
  if $perf_ok; then
    XDG_CACHE_HOME=$cache perf stat -x, -e task-clock "$bin" "$dir" 2>&1 >/dev/null | awk -F, '/task-clock/ {print $1}'
  else
    local t0 t1
    t0=$(date +%s%N)
    XDG_CACHE_HOME=$cache "$bin" "$dir" >/dev/null 2>&1
    t1=$(date +%s%N)
    echo "$(( (t1 - t0) / 1000 )).0" | awk '{print $1 / 1000}'
  fi
}

# figure MODE DIR: the median (perf) or least (wall) of RUNS runs, alternating with the other binary.
figure() {
  local mode=$1 dir=$2 a=() b=()
  for _ in $(seq "$runs"); do
    a+=("$(cpu "$mode" "$lint" "$dir")")
    [ -n "$other" ] && b+=("$(cpu "$mode" "$other" "$dir")")
  done
  python3 - "$perf_ok" "${a[*]}" "${b[*]:-}" <<'PY'
import statistics, sys
perf = sys.argv[1] == "true"
pick = statistics.median if perf else min
a = [float(x) for x in sys.argv[2].split()]
b = [float(x) for x in sys.argv[3].split()] if sys.argv[3].strip() else []
text = f"{pick(a):.1f} ms"
if b:
    text += f" (other: {pick(b):.1f} ms, ratio {pick(a) / pick(b):.2f})"
print(text)
PY
}

# 36 rooms of 27 lines, a subroutine and the end: 1000 lines.
mkdir "$tmp/big"
python3 - "$tmp/big/vunt-n.zad" <<'PY'
import sys
rooms, size = 36, 27
sub = 1 + rooms * size
lines = []
for r in range(rooms):
    L = 1 + r * size
    nxt = L + size if r + 1 < rooms else 1000
    lines += [f"MES,＠00部屋{r}に来た。￥", "LET,3,0", "INC,2,9,L", "CMST,1,＊調べる＊話す＊次へ",
              f"CMSL,1,{L + 12}", "CASE,100", "MES,何もない。￥", "CASE,101", f"GOSUB,{sub}", "CASE,102",
              "LET,3,1", "MES,次へ進む。￥", "ENDCM", f"FP,2,{L + 23}"]
    lines += [f"＠00{k}番目のことば。￥" for k in range(1, 10)]
    lines += ["ENDFP", f"IF,F03=01,{L + 26}", f"GOTO,{nxt}", f"GOTO,{L}"]
lines += ["MES,＠00手伝ってもらった。￥", "RET"]
while len(lines) < 999:
    lines.append("DO")
lines.append("EXIT")
open(sys.argv[1], "wb").write(("\r\n".join(lines) + "\r\n").encode("cp932"))
PY
what=$($perf_ok && echo "median CPU of $runs runs" || echo "least wall time of $runs runs")
echo "script lines: $(wc -l <"$tmp/big/vunt-n.zad"); findings: $("$lint" "$tmp/big" 2>&1 | grep -c ': \(error\|warning\):') ($what)"
echo "vunt-lint on the bundled game, every stage searched: $(figure cold "$game")"
echo "vunt-lint on the bundled game, the verdicts kept: $(figure warm "$game")"
big=$(figure cold "$tmp/big")
echo "vunt-lint on a 1000-line script: $big (goal: under 100 ms)"
ms=${big%% *}
[ "${ms%.*}" -lt 100 ] && echo ok || { echo FAIL; exit 1; }
