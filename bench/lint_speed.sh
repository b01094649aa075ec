#!/usr/bin/env bash
# How long vunt-lint takes: on the bundled game (its stages solved included) and on a generated
# script of 1000 lines of rooms with menus, FP tables, flags, loops and a subroutine, whose lines
# the flow analysis must all follow (goal: under 100 ms). Best of five runs each. Run by hand
# from the repository root after a build:
#   bash bench/lint_speed.sh [BUILD_DIR] [GAME_DIR]
# Last figures, on a 2-core machine shared by several builds (load average 15 to 18): the
# 1000-line script 54 ms; the bundled game 750 ms wall and 238 ms of CPU (perf stat -r 10
# task-clock; 227 ms before the checks of menus, tables, subroutines and last messages added in
# the same release), of which the stage solver takes nearly half. On such a machine wall time
# says little: compare task-clock figures of two builds instead.
set -u
build=${1:-build}
game=${2:-game}
lint=$build/vunt-lint
[ -x "$lint" ] || { echo "no $lint"; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# best DIR: the least wall time of five runs, in milliseconds.
best() {
  local least=999999 t0 t1 ms
  for _ in 1 2 3 4 5; do
    t0=$(date +%s%N)
    "$lint" "$1" >/dev/null 2>&1
    t1=$(date +%s%N)
    ms=$(( (t1 - t0) / 1000000 ))
    [ "$ms" -lt "$least" ] && least=$ms
  done
  echo "$least"
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
echo "script lines: $(wc -l <"$tmp/big/vunt-n.zad"); findings: $("$lint" "$tmp/big" 2>&1 | grep -c ': \(error\|warning\):')"
big=$(best "$tmp/big")
bundled=$(best "$game")
echo "vunt-lint on the bundled game: ${bundled} ms"
echo "vunt-lint on a 1000-line script: ${big} ms (goal: under 100 ms)"
[ "$big" -lt 100 ] && echo ok || { echo FAIL; exit 1; }
