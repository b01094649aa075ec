#!/usr/bin/env python3
"""Draws the program's 32 x 32 icon, the lit lighthouse of the bundled game, as assets/icon.xpm.

Run from the repository root: python3 tools/make_icon.py
Only the lighthouse is drawn: the beams of the lamp, the banded tower and its rock with the surf
breaking on it. Everything around it is see-through (the colour #010203, which no drawing uses
otherwise, as in the pointers' pictures), so the icon sits on any panel or desktop without a
square behind it; the window icon and the PNG icons of `cmake --install` carry that
transparency as their alpha channel.
"""
import os
import sys

SIZE = 32
COLOURS = {
    ".": "#010203",  # see-through
    "f": "#AAC8E6",  # foam
    "y": "#FFD66E",  # beam
    "g": "#FFF0B4",  # lamp glow
    "w": "#F0F0E8",  # tower
    "r": "#C82828",  # bands
    "d": "#781820",  # roof, band shade
    "k": "#101020",  # gallery, outlines
    "c": "#34303C",  # rock
    "e": "#545260",  # rock, lit edge
}


def draw():
    px = [["."] * SIZE for _ in range(SIZE)]

    def put(x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            px[y][x] = c

    # two beams from the lamp at (16, 7), opening outwards
    for x in range(SIZE):
        d = abs(x - 16)
        if d < 3:
            continue
        spread = d // 4
        for y in range(6 - spread, 9 + spread // 2):
            put(x, y, "g" if 6 <= y <= 8 else "y")
    # the tower: widening downwards, red bands
    for y in range(10, 26):
        half = 3 + (y - 10) // 6
        band = (y - 10) // 4 % 2 == 1
        for x in range(16 - half, 16 + half):
            shade = x >= 16 + half - 1
            put(x, y, ("d" if band else "e") if shade else ("r" if band else "w"))
    put(16, 24, "k")
    put(16, 25, "k")
    put(15, 25, "k")
    # gallery, lamp house and roof
    for x in range(11, 21):
        put(x, 9, "k")
    for y in range(5, 9):
        for x in range(13, 19):
            put(x, y, "g")
    for x in (14, 17):  # the window bars of the lamp house
        put(x, 5, "y")
        put(x, 8, "y")
    for y, half in ((4, 3), (3, 2), (2, 1)):
        for x in range(16 - half, 16 + half):
            put(x, y, "d")
    put(15, 1, "k")
    # the rock and the surf
    for y in range(24, SIZE):
        half = 6 + (y - 24) * 2
        for x in range(16 - half, 16 + half):
            put(x, y, "e" if y == 24 or x == 16 - half else "c")
    # surf on both sides of the rock, one foam pixel a row where it meets the sea
    for y in range(25, SIZE, 2):
        half = 6 + (y - 24) * 2
        put(16 - half - 1, y, "f")
        put(16 + half, y, "f")
    return px


def main():
    px = draw()
    lines = [f"{SIZE} {SIZE} {len(COLOURS)} 1"]
    lines += [f"{k} c {v}" for k, v in COLOURS.items()]
    lines += ["".join(row) for row in px]
    body = ",\n".join(f'"{l}"' for l in lines)
    out = os.path.join("assets", "icon.xpm")
    with open(out, "w") as f:
        f.write(f"/* XPM */\nstatic const char* const icon_xpm[] = {{\n{body}}};\n")
    print(out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
