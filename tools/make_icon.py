#!/usr/bin/env python3
"""Draws the program's 32 x 32 icon, the lit lighthouse of the bundled game, as assets/icon.xpm.

Run from the repository root: python3 tools/make_icon.py
The window system shows the icon as it is, without see-through pixels, so the picture fills the
whole square: a night sky, the beams of the lamp, the banded tower on its rock and the sea.
"""
import os
import sys

SIZE = 32
COLOURS = {
    "n": "#121638",  # night sky
    "m": "#1E265C",  # sky near the sea
    "s": "#142E60",  # sea
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
    px = [["n"] * SIZE for _ in range(SIZE)]

    def put(x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            px[y][x] = c

    for y in range(16, 24):
        for x in range(SIZE):
            px[y][x] = "m"
    for y in range(24, SIZE):
        for x in range(SIZE):
            px[y][x] = "s"
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
    for x in range(SIZE):
        if px[26][x] == "s" and x % 3 == 0:
            put(x, 26, "f")
        if px[29][x] == "s" and x % 4 == 1:
            put(x, 29, "f")
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
