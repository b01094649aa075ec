#!/usr/bin/env bash
# The authoring tools and the core's test program load no SDL library; the game does (so the check
# reads the right files), but not SDL2_mixer and SDL2_image before it needs them. Reads the built
# programs' dynamic sections.
set -u
vunt=$1
bin=$(dirname "$vunt")
fail=0
sdl_needed() { readelf -d "$1" | grep NEEDED | grep -io 'libSDL2[a-z_-]*' | sort -u | tr '\n' ' '; }
for b in vunt-lint vunt-asm vunt-stage vunt_core_tests; do
  if [ ! -x "$bin/$b" ]; then echo "FAIL $b: not built"; fail=1; continue; fi
  found=$(sdl_needed "$bin/$b")
  if [ -n "$found" ]; then echo "FAIL $b links $found"; fail=1; else echo "ok   $b links no SDL"; fi
done
case "$(sdl_needed "$vunt")" in
  *libSDL2_ttf*) echo "ok   vunt links SDL2_ttf" ;;
  *) echo "FAIL vunt does not link SDL2_ttf: the check reads the wrong programs"; fail=1 ;;
esac
# The game opens SDL2_mixer and SDL2_image at their first use; linked, they would be loaded (with
# the twenty libraries they bring in) at every start.
case "$(sdl_needed "$vunt")" in
  *libSDL2_mixer* | *libSDL2_image*) echo "FAIL vunt links $(sdl_needed "$vunt")"; fail=1 ;;
  *) echo "ok   vunt loads SDL2_mixer and SDL2_image only when it needs them" ;;
esac
exit $fail
