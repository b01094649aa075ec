#!/usr/bin/env bash
# What a source line costs vunt-asm and vunt-lint: peak resident memory on generated labelled
# sources of 1000 and 5000 lines (the second past the script's limit) and on game folders whose
# script has 1000, 5000 and 50,000 lines, less the same on a 2-line one, per line; with perf
# installed, also the share of their CPU time spent allocating and freeing memory (malloc, free,
# new, delete: samples of 20 runs on the 1000-line files) and their median CPU time. Run by hand
# from the repository root after a build:
#   bash bench/authoring_memory.sh [BUILD_DIR] [OTHER_BUILD_DIR]
# Given another build (an older one, say), every figure is taken for both, runs alternating.
# Last figures, on a 2-core machine shared by several builds (load about 6), against the build
# before this release's changes, four runs each (before -> now):
#   vunt-asm, 1000-line source: 1.1-1.3 -> 0.4-0.7 KB a line (the peaks move by whole pages);
#     5000 lines, past the limit: 0.24 -> 0.16 KB a line; allocation 15 % -> 10 % of its time
#   vunt-lint, 1000-line source: 4.9 -> 2.7 KB a line; allocation 25 % -> 8 %
#   vunt-lint, game folder: 1000 lines 4.4 -> 2.4 KB a line (mostly the flow analysis' points);
#     50,000 lines 0.24 -> 0.16 KB a line; allocation 33 % -> 7 %, CPU 8.4 -> 5.8 ms
set -u
build=${1:-build}
other=${2:-}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
[ -x "$build/vunt-asm" ] && [ -x "$build/vunt-lint" ] || { echo "no vunt-asm and vunt-lint in $build"; exit 1; }
build=$(cd "$build" && pwd)
[ -n "$other" ] && other=$(cd "$other" && pwd)
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)"; exit 1; }
perf_ok=false
perf stat -x, -e task-clock true >/dev/null 2>&1 && perf_ok=true

python3 - "$tmp" <<'PY'
import os, sys
tmp = sys.argv[1]
# Labelled sources: a label every 10 lines, references to them, comments, a continued line.
def source(n):
    out, script = [], 0
    while script < n - 1:
        if script % 10 == 0:
            out.append(f":l{script}")
        if script % 25 == 3:
            out.append("; a comment")
        if script % 3 == 0:
            out.append(f"IF,F03=01,{{l{script // 10 * 10}}}")
        elif script % 7 == 1:
            out.append("MES,＠00続きは\\")
            out.append("  次の行に。￥")
        else:
            out.append(f"MES,＠00{script}番目のことば。￥")
        script += 1
    out.append("EXIT")
    open(f"{tmp}/src{n}.txt", "w").write("\n".join(out) + "\n")
# Game folders: the script itself, in code page 932 with CR LF.
def folder(n):
    os.makedirs(f"{tmp}/game{n}")
    lines = [f"IF,F03=01,{max(1, i - 5)}" if i % 3 == 0 else f"MES,＠00{i}番目のことば。￥" for i in range(n - 1)] + ["EXIT"]
    open(f"{tmp}/game{n}/vunt-n.zad", "wb").write(("\r\n".join(lines) + "\r\n").encode("cp932"))
for n in (2, 1000, 5000):
    source(n)
for n in (2, 1000, 5000, 50000):
    folder(n)
PY

# peak BIN ARGS...: the least peak resident memory of three runs, in KiB.
peak() {
  local least=999999999 kb
  for _ in 1 2 3; do
    kb=$(env -u XDG_CACHE_HOME -u HOME /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1)
    [ "$kb" -lt "$least" ] && least=$kb
  done
  echo "$least"
}

# perline DIR: KB a line of each case, on one line.
perline() {
  local dir=$1 asm=$1/vunt-asm lint=$1/vunt-lint base out=""
  base=$(peak "$asm" "$tmp/src2.txt" -o "$tmp/out.zad")
  for n in 1000 5000; do
    out+="asm $n: $(python3 -c "print(f'{($(peak "$asm" "$tmp/src$n.txt" -o "$tmp/out.zad") - $base) * 1.024 / $n:.2f}')") KB; "
  done
  base=$(peak "$lint" "$tmp/src2.txt")
  out+="lint source 1000: $(python3 -c "print(f'{($(peak "$lint" "$tmp/src1000.txt") - $base) * 1.024 / 1000:.2f}')") KB; "
  base=$(peak "$lint" "$tmp/game2")
  for n in 1000 5000 50000; do
    out+="lint folder $n: $(python3 -c "print(f'{($(peak "$lint" "$tmp/game$n") - $base) * 1.024 / $n:.2f}')") KB; "
  done
  echo "$out"
}

# share DIR: the allocation share of the program's samples and its median CPU, per tool.
share() {
  local dir=$1 data out=""
  for what in "vunt-asm src1000.txt -o $tmp/out.zad" "vunt-lint src1000.txt" "vunt-lint game1000"; do
    set -- $what
    local bin=$dir/$1
    shift
    data=$tmp/perf.data
    (cd "$tmp" && perf record -q -F 10000 -o "$data" -- bash -c 'for i in $(seq 20); do env -u HOME -u XDG_CACHE_HOME "$@" >/dev/null 2>&1; done' _ "$bin" "$@" >/dev/null 2>&1)
    local pct
    pct=$(perf report -i "$data" --comm "$(basename "$bin" | cut -c1-15)" --no-children --stdio -g none --sort sym 2>/dev/null |
          python3 -c '
import re, sys
total = alloc = 0.0
for line in sys.stdin:
    m = re.match(r"\s+([\d.]+)%\s+\[.\]\s+(.*)", line)
    if not m: continue
    total += float(m.group(1))
    if re.search(r"malloc|free|_int_|operator new|operator delete|cfree|unlink_chunk|consolidate|realloc|tcache", m.group(2)):
        alloc += float(m.group(1))
print(f"{100 * alloc / total:.0f} %" if total else "?")')
    local cpu
    cpu=$(for _ in 1 2 3 4 5; do (cd "$tmp" && env -u HOME -u XDG_CACHE_HOME perf stat -x, -e task-clock "$bin" "$@" 2>&1 >/dev/null | awk -F, '/task-clock/ {print $1}'); done | sort -n | sed -n 3p)
    out+="$(basename "$bin") $1: allocation $pct, ${cpu} ms; "
  done
  echo "$out"
}

echo "memory a line (peak RSS less that of a 2-line file):"
echo "  $build: $(perline "$build")"
[ -n "$other" ] && echo "  $other: $(perline "$other")"
if $perf_ok; then
  echo "allocation's share of the time, and the median CPU of 5 runs:"
  echo "  $build: $(share "$build")"
  [ -n "$other" ] && echo "  $other: $(share "$other")"
fi
exit 0
