#!/usr/bin/env bash
# Builds the static libraries the browser build links (SDL2, freetype, SDL2_ttf, SDL2_image) from
# Debian's source packages with Debian's emscripten. emscripten's own SDL ports
# cannot be used offline (they download their sources), so the project builds them itself.
# The result goes to a cache outside any build tree, keyed by the emscripten and library
# versions: a second run finds it and returns at once. Prints the cache's prefix last.
#
#   tools/web/deps.sh            # install what is missing, build once, print the prefix
#   VUNT_WEB_CACHE=DIR ...       # the cache's root (default ~/.cache/vunt-web)
#   JOBS=N ...                   # parallel jobs (default 2)
#   tools/web/deps.sh --cached   # only print the prefix when it is built already; status 1 if not
set -euo pipefail
CACHED_ONLY=""; [ "${1:-}" = --cached ] && CACHED_ONLY=1

SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
JOBS=${JOBS:-2}
ROOT=${VUNT_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vunt-web}
SOURCES="libsdl2 freetype libsdl2-ttf libsdl2-image"
log() { echo "web-deps: $*" >&2; }

install_missing() {
  local missing=""
  for p in "$@"; do dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"; done
  if [ -n "$missing" ]; then
    log "installing$missing"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing >&2
  fi
}

# apt-get source needs deb-src entries; add a twin of each deb entry when none exists.
ensure_deb_src() {
  if apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -q '^Sources$'; then return; fi
  local src=/etc/apt/sources.list.d/debian.sources
  local twin=/etc/apt/sources.list.d/vunt-web-src.sources
  if [ -f "$src" ]; then
    sed 's/^Types: deb$/Types: deb-src/' "$src" | $SUDO tee "$twin" >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
      | $SUDO tee /etc/apt/sources.list.d/vunt-web-src.list >/dev/null
  else
    log "no apt sources found to add deb-src entries to"; exit 1
  fi
  log "added deb-src entries; updating the package lists"
  $SUDO apt-get update -qq
}

source_version() {  # the candidate source version of a package, as apt sees it
  apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/ { print $2; exit }'
}

if [ -n "$CACHED_ONLY" ]; then
  command -v emcc >/dev/null && apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -q '^Sources$' \
    || { log "emscripten or the deb-src entries are missing"; exit 1; }
else
  install_missing emscripten dpkg-dev cmake make xz-utils
  ensure_deb_src
fi

# (sed reads all of emcc's output: a reader that stops early would fail the pipe.)
EMVER=$(NODE_PATH=/usr/share/nodejs emcc --version 2>/dev/null | sed -n '1s/.* \([0-9][0-9.]*\) .*/\1/p' || true)
KEY="em${EMVER:-unknown}"
for s in $SOURCES; do
  v=$(source_version "$s")
  [ -n "$v" ] || { log "no source package $s"; exit 1; }
  KEY="$KEY-$s-$v"
done
# One short directory name per set of versions; the full key is kept inside it.
HASH=$(printf '%s' "$KEY" | sha256sum | cut -c1-12)
PREFIX="$ROOT/$HASH"
if [ -f "$PREFIX/.complete" ]; then
  echo "$PREFIX"; exit 0
fi
[ -z "$CACHED_ONLY" ] || { log "the libraries are not built yet ($PREFIX)"; exit 1; }

log "building into $PREFIX ($KEY)"
WORK="$ROOT/work-$HASH"
rm -rf "$WORK" "$PREFIX"
mkdir -p "$WORK" "$PREFIX"
cd "$WORK"
for s in $SOURCES; do
  (apt-get source --download-only "$s" >/dev/null 2>&1 || apt-get source --download-only "$s") >&2
done
for dsc in *.dsc; do dpkg-source -x --skip-patches "$dsc" >/dev/null 2>&1 || dpkg-source -x "$dsc" >&2; done

# NODE_PATH: Debian's node does not search its own modules (acorn), which emscripten needs.
export NODE_PATH=/usr/share/nodejs
export EM_FROZEN_CACHE=1
COMMON=(-DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_PREFIX="$PREFIX"
        -DCMAKE_PREFIX_PATH="$PREFIX" -DCMAKE_FIND_ROOT_PATH="$PREFIX"
        -DCMAKE_C_FLAGS=-O2 -DCMAKE_POLICY_DEFAULT_CMP0074=NEW)

build() {  # build DIR [cmake options...]
  local dir=$1; shift
  log "building $dir"
  emcmake cmake -S "$dir" -B "$dir/build-web" "${COMMON[@]}" "$@" >"$dir.configure.log" 2>&1 \
    || { tail -40 "$dir.configure.log" >&2; exit 1; }
  nice cmake --build "$dir/build-web" -j "$JOBS" >"$dir.build.log" 2>&1 \
    || { tail -40 "$dir.build.log" >&2; exit 1; }
  cmake --install "$dir/build-web" >>"$dir.build.log" 2>&1 \
    || { tail -40 "$dir.build.log" >&2; exit 1; }
}

dirof() { ls -d "$1"-*/ | head -1 | sed 's:/$::'; }

# The libraries' licences go with the page that links them (vunt-web copies them).
mkdir -p "$PREFIX/share/licences"
for s in $SOURCES; do cp "$(dirof "$s")/debian/copyright" "$PREFIX/share/licences/$s.txt"; done

build "$(dirof libsdl2)" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON
build "$(dirof freetype)" -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
  -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
build "$(dirof libsdl2-ttf)" -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF -DSDL2TTF_SAMPLES=OFF \
  -DSDL2_DIR="$PREFIX/lib/cmake/SDL2"
build "$(dirof libsdl2-image)" -DSDL2IMAGE_BACKEND_STB=ON -DSDL2IMAGE_VENDORED=OFF \
  -DSDL2IMAGE_SVG=OFF -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_JXL=OFF -DSDL2IMAGE_TIF=OFF \
  -DSDL2IMAGE_WEBP=OFF -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_DEPS_SHARED=OFF \
  -DSDL2_DIR="$PREFIX/lib/cmake/SDL2"

printf '%s\n' "$KEY" >"$PREFIX/.complete"
rm -rf "$WORK"
log "done"
echo "$PREFIX"
