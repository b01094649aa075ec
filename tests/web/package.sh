#!/usr/bin/env bash
# The page's data package (tests/web/package_test.mjs): needs Node.js, Python and the IPA fonts,
# not the browser build; skipped (status 77) without Node.js.
#   tests/web/package.sh VUNT ROOT
set -u
root=$(realpath "$2")
source "$root/tests/lib/limits.bash"
command -v node >/dev/null || { echo "SKIP: no Node.js (make web-deps installs it)"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
limit 120 node "$root/tests/web/package_test.mjs" "$root" "$tmp"
