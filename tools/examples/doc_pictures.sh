#!/usr/bin/env bash
# Takes the pictures of docs/commands.md from headless plays of the example games:
#
#   tools/examples/doc_pictures.sh [BUILD_DIR]      (default: build)
#
# Each example is played with its own input.txt and --frames, which saves the window at every wait
# for the player; the wanted frames are cropped to the message area (or the part of the window
# that shows the effect) and written to docs/pictures/.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
out=$root/docs/pictures
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"

frames() {  # frames GAME: plays a copy of examples/GAME, frames in $tmp/GAME.frames
  cp -r "$root/examples/$1" "$tmp/$1"
  "$build/vunt" --headless --input "$root/examples/$1/input.txt" --frames "$tmp/$1.frames" "$tmp/$1" >/dev/null
}
crop() {  # crop GAME FRAME GEOMETRY NAME
  convert "$tmp/$1.frames/$(printf %04d "$2").png" -crop "$3" +repage -strip "$out/$4.png"
}
message() { crop messages "$1" 440x64+0+320 "$2"; }  # the message area

frames messages
message 1 message-page
message 2 message-speakers
message 3 message-colour
message 4 message-lines
message 5 message-emphasis
message 8 message-full-page

frames menus
crop menus 1 440x104+0+280 menu-labels
crop menus 4 440x104+0+280 menu-submenu

frames media
crop media 1 440x384+0+0 media-scene

frames puzzle
crop puzzle 4 440x384+0+0 puzzle-board
crop puzzle 9 440x384+0+0 puzzle-failed
echo "wrote $(ls "$out" | wc -l) pictures to $out"
