#!/usr/bin/env bash
# Builds the Debian packages from this tree, checks them with lintian and plays the packaged game:
#   packaging/build_deb.sh [OUT_DIR]            (make deb; default OUT_DIR build-deb)
# The tree is copied to OUT_DIR/src first, since dpkg-buildpackage writes its packages into the
# parent of the tree it builds. DEB_BUILD_OPTIONS passes through: "nocheck" skips the tests
# (they are then not even built), "parallel=N" sets the build's jobs.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$here/build-deb}" && cd "${1:-$here/build-deb}" && pwd)
rm -rf "$out/src" "$out"/vunt*
mkdir "$out/src"

# The tree as git sees it (tracked and new files, without what .gitignore leaves out), or all of it
# but the build directories when it is no git checkout.
cd "$here"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf - | tar -xf - -C "$out/src"
else
  tar --exclude='./build*' --exclude=./.git -cf - . | tar -xf - -C "$out/src"
fi

# The build's jobs: JOBS (make deb passes its own), unless DEB_BUILD_OPTIONS names them.
case " ${DEB_BUILD_OPTIONS:-} " in
  *" parallel="*) ;;
  *) export DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:-} parallel=${JOBS:-$(nproc)}" ;;
esac

cd "$out"
dpkg-source --build src >/dev/null  # the source package, for lintian's checks of debian/
(cd src && dpkg-buildpackage -us -uc -b)
# Errors and warnings fail; info and pedantic tags are shown but do not.
lintian --fail-on error,warning --display-info ./*.dsc ./*.changes
bash "$here/packaging/deb_smoke.sh" "$out"
