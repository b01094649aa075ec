#!/usr/bin/env bash
# vunt-lint on the planted-fault corpus of tests/data/lint_corpus: every planted fault found,
# no finding on a correct game and none at a line other than the fault's.
set -u
bin=$(dirname "$1")
root=$2
source "$(dirname "$0")/lib/limits.bash"
command -v python3 >/dev/null || { echo "python3 missing: corpus not run"; exit 0; }
limit 120 python3 "$root/tests/lint_corpus.py" "$bin/vunt-lint" --verbose
