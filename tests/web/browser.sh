#!/usr/bin/env bash
# The bundled game's web page in Debian's chromium, against the desktop's frames (browser.mjs).
# Skipped (status 77) without the browser build or the driver: `make web` and
# tools/web/browser-deps.sh provide them.
#   tests/web/browser.sh VUNT ROOT WEB_BUILD
set -u
vunt=$(realpath "$1")
root=$(realpath "$2")
web=${3:-$root/build-web}
source "$root/tests/lib/limits.bash"
cache=${VUNT_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vunt-web}
driver=${PLAYWRIGHT_DIR:-$cache/driver}
if [ ! -f "$web/vunt.js" ]; then echo "SKIP: no browser build in $web (make web builds it)"; exit 77; fi
if [ ! -x /usr/bin/chromium ] || [ ! -f "$driver/node_modules/playwright-core/package.json" ]; then
  echo "SKIP: no chromium or playwright-core (tools/web/browser-deps.sh installs them)"; exit 77
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
keep=${VUNT_WEB_SHOTS:-$tmp/shots}

limit 120 "$root/tools/web/vunt-web" --single-file --engine "$web" "$root/game" "$tmp/site" >/dev/null || {
  echo "FAIL vunt-web"; exit 1; }
# The desktop's frames of the same plays: the save walkthrough, then the continued game.
cp -r "$root/game" "$tmp/game" && rm -f "$tmp/game/VUNT.DAT"
limit 120 "$vunt" --headless --frames "$tmp/save-frames" --input "$root/tests/data/game/save.txt" "$tmp/game" >/dev/null
limit 120 "$vunt" --headless --frames "$tmp/continue-frames" --input "$root/tests/data/game/continue.txt" "$tmp/game" >/dev/null
PLAYWRIGHT_DIR=$driver limit 1500 node "$root/tests/web/browser.mjs" "$tmp/site" \
  "$tmp/save-frames" "$root/tests/data/game/save.txt" "$tmp/continue-frames" "$root/tests/data/game/continue.txt" "$keep"
