# Sourced by the shell tests: a failure count $fail, `check NAME EXPECTED ACTUAL` that reports one
# result, and a temporary directory $tmp removed at exit.
fail=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then echo "FAIL $1: expected [$2], got [$3]"; fail=1; else echo "ok   $1"; fi
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
