#!/usr/bin/env bash
# The authoring tools and the core's test program load no SDL library; the game does (so the check
# reads the right files), but neither SDL2_mixer, which it does not use, nor SDL2_image before it
# needs it, nor SDL2_ttf: it draws text through FreeType, so HarfBuzz and GLib, which SDL2_ttf
# would bring in, are not loaded at all. Reads the built programs' dynamic sections.
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
  *libSDL2-*) echo "ok   vunt links SDL2" ;;
  *) echo "FAIL vunt does not link SDL2: the check reads the wrong programs"; fail=1 ;;
esac
# Every library loaded at start, the ones the linked ones bring in too.
loaded=$(ldd "$vunt" | awk '{print $1}' | tr '\n' ' ')
case "$loaded" in
  *libSDL2_ttf* | *libharfbuzz* | *libglib* | *libgraphite2* | *libpcre2*)
    echo "FAIL vunt loads SDL2_ttf or what it brings in: $loaded"; fail=1 ;;
  *libfreetype*) echo "ok   vunt draws text through FreeType, without SDL2_ttf, HarfBuzz or GLib" ;;
  *) echo "FAIL vunt does not load FreeType: $loaded"; fail=1 ;;
esac
# Linked, SDL2_mixer or SDL2_image would be loaded at every start, with the 19 libraries they
# bring in: the game plays sounds through SDL and opens SDL2_image at its first use.
case "$(sdl_needed "$vunt")" in
  *libSDL2_mixer* | *libSDL2_image*) echo "FAIL vunt links $(sdl_needed "$vunt")"; fail=1 ;;
  *) echo "ok   vunt loads SDL2_image only when it needs it" ;;
esac
exit $fail
