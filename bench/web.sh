#!/usr/bin/env bash
# The browser build beside the desktop's, in figures:
#   - engine size: vunt.wasm + vunt.js, raw and gzip -9 (goal: at most 1 MB gzip)
#   - time from page load to the first frame (Chromium, page served from 127.0.0.1), beside the
#     desktop engine's start to its first wait for the player (headless, no window to open)
#   - the page's memory: the engine's wasm memory and the JS heap, once the title shows
#   - script lines per second: a script that loops without waiting, under Node.js (V8, the engine
#     Chromium runs) and natively, and their ratio (in the page itself a line waits for the
#     timer's tick, as on the desktop's window: this is the interpreter's own speed)
#   bench/web.sh [BUILD] [WEB_BUILD]      (after make build and make web)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
web=${2:-$root/build-web}
cache=${VUNT_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vunt-web}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

raw=$(( $(stat -c %s "$web/vunt.wasm") + $(stat -c %s "$web/vunt.js") ))
gz=$(( $(gzip -9c "$web/vunt.wasm" | wc -c) + $(gzip -9c "$web/vunt.js" | wc -c) ))
printf 'engine size           %7.2f MB raw, %.2f MB gzip (wasm %.2f MB gzip)\n' \
  "$(echo "$raw/1048576" | bc -l)" "$(echo "$gz/1048576" | bc -l)" "$(echo "$(gzip -9c "$web/vunt.wasm" | wc -c)/1048576" | bc -l)"

# Lines per second: 20,000,000 executed lines of a two-line loop (GOTO, GOTO: no flag overflows), less the time to start and stop
# (the same run bounded at one line).
mkdir -p "$tmp/loop"
printf 'GOTO,2\r\nGOTO,1\r\n' >"$tmp/loop/vunt-n.zad"
lines=20000000
secs() { local s e; s=$(date +%s.%N); "$@" >/dev/null 2>&1 || true; e=$(date +%s.%N); echo "$e - $s" | bc -l; }
# CPU seconds (user and system) of a run: steadier than the clock on a shared machine.
cpu() { local t; t=$( { TIMEFORMAT='%U + %S'; time "$@" >/dev/null 2>&1; } 2>&1 ) || true; echo "$t" | bc -l; }
rate() {  # rate PROGRAM...: lines per second of the loop
  local full base
  full=$(cpu "$@" --headless --max-ticks $lines "$tmp/loop")
  base=$(cpu "$@" --headless --max-ticks 1 "$tmp/loop")
  echo "$lines / ($full - $base)" | bc -l
}
native=$(rate "$build/vunt")
node=$(rate node --no-experimental-fetch "$web/vunt-node.js")
printf 'script lines/s        %9.0f desktop, %.0f wasm under Node.js: %.2f of the desktop\n' \
  "$native" "$node" "$(echo "$node/$native" | bc -l)"

start=$(secs "$build/vunt" --headless --input /dev/null "$root/game")
printf 'desktop to first wait %7.0f ms (headless, the title menu)\n' "$(echo "$start*1000" | bc -l)"
if [ -f "$cache/driver/node_modules/playwright-core/package.json" ] && [ -x /usr/bin/chromium ]; then
  "$root/tools/web/vunt-web" --engine "$web" "$root/game" "$tmp/site" >/dev/null
  PLAYWRIGHT_DIR=$cache/driver timeout -k 5 300 node "$root/bench/web_page.mjs" "$tmp/site"
else
  echo "page figures skipped: tools/web/browser-deps.sh installs chromium and its driver"
fi
