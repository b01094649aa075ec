# Sourced by the tests of the real window: runs the calling test again under its own virtual X
# server, with a silent audio driver, a failure count and a temporary directory $tmp.
if [ -z "${VUNT_UNDER_XVFB:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed"; exit 1; }
  VUNT_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
export SDL_AUDIODRIVER=dummy
fail=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
