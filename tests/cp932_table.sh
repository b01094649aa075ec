#!/usr/bin/env bash
# src/text/cp932_table.cpp is what tools/text/make_cp932_table.cpp writes from this system's
# converter, apart from the comment that names the glibc version: the generator still builds,
# runs and agrees with the committed table.
set -u
root=$2
source "$(dirname "$0")/lib/limits.bash"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
if ! limit 120 "${CXX:-c++}" -std=c++20 -O1 -Wall -Wextra -Werror -o "$tmp/make_cp932_table" \
       "$root/tools/text/make_cp932_table.cpp"; then
  echo "FAIL the generator does not build"; exit 1
fi
if ! limit "$tmp/make_cp932_table" >"$tmp/table.cpp"; then
  echo "FAIL the generator stopped"; exit 1
fi
if diff -u <(tail -n +4 "$root/src/text/cp932_table.cpp") <(tail -n +4 "$tmp/table.cpp") >"$tmp/diff"; then
  echo "ok   the committed table is the generator's"
else
  echo "FAIL the committed table differs from the generator's:"; head -40 "$tmp/diff"; exit 1
fi
