#!/usr/bin/env bash
# Runs each fuzz target for a while, one after the other, on one core each.
# usage: fuzz/run.sh FUZZ_BUILD SECONDS [TARGET...]   (default: every fuzz/*.cpp)
# New inputs go to FUZZ_BUILD/corpus/<target>; the committed seeds in fuzz/corpus/<target> are only
# read. A finding is kept as FUZZ_BUILD/findings/<target>-crash-... (or leak-, timeout-, oom-), and
# the run ends with status 1 after the other targets have run.
set -u
cd "$(dirname "$0")/.."
build=$1
seconds=$2
shift 2
targets=("$@")
if [ ${#targets[@]} = 0 ]; then
  for f in fuzz/*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/fuzz/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build/findings"
failed=()
for t in "${targets[@]}"; do
  if [ ! -x "$build/fuzz_$t" ]; then
    echo "no fuzz target $t (fuzz/$t.cpp)"
    failed+=("$t")
    continue
  fi
  mkdir -p "$build/corpus/$t"
  options=(-max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -close_fd_mask=2
           -artifact_prefix="$build/findings/$t-" -print_final_stats=1)
  [ -f "fuzz/$t.dict" ] && options+=(-dict="fuzz/$t.dict")
  [ -f "fuzz/$t.options" ] && read -r -a extra <"fuzz/$t.options" && options+=("${extra[@]}")
  echo "== fuzz_$t for ${seconds}s"
  if "$build/fuzz_$t" "${options[@]}" "$build/corpus/$t" "fuzz/corpus/$t" 2>"$build/fuzz_$t.log"; then
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)|#[0-9]+ *DONE' "$build/fuzz_$t.log"
  else
    echo "FINDING in fuzz_$t; log: $build/fuzz_$t.log"
    grep -E 'ERROR|SUMMARY|fuzz check failed|Test unit written' "$build/fuzz_$t.log" | head -5
    failed+=("$t")
  fi
done
if [ ${#failed[@]} != 0 ]; then
  echo "fuzz findings in: ${failed[*]}"
  exit 1
fi
