#!/usr/bin/env bash
# What the browser tests drive: Debian's chromium, and playwright-core (the driver, no browser of
# its own) from npm, kept with the web libraries in ~/.cache/vunt-web (VUNT_WEB_CACHE), outside the
# source tree. Prints the folder that holds node_modules.
set -euo pipefail
SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
ROOT=${VUNT_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vunt-web}
# A version known to drive the chromium of Debian 12's security updates.
PLAYWRIGHT=playwright-core@1.49.1
missing=""
for p in chromium nodejs npm; do
  [ "$p" = npm ] && command -v npm >/dev/null && continue
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "browser-deps: installing$missing" >&2
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing >&2
fi
dir="$ROOT/driver"
if [ ! -f "$dir/node_modules/playwright-core/package.json" ]; then
  mkdir -p "$dir"
  echo "browser-deps: installing $PLAYWRIGHT" >&2
  (cd "$dir" && npm install --no-audit --no-fund --silent "$PLAYWRIGHT" >&2)
fi
echo "$dir"
