#!/usr/bin/env python3
"""Draws the puzzle's tile sheet and writes it as assets/tiles.xpm.

The sheet is 160 x 160 pixels in 16 colours: 5 x 5 frames of 32 x 32. Columns from the left:
floors, piece images, goal plates, piece masks, walls with the trap at the bottom. A piece is
painted by AND-ing its mask (black where the piece is, white around it) and then XOR-ing its
image (the piece on black), so the two must cover exactly the same pixels.

Run from the repository root:  python3 tools/make_tiles.py
"""
import math
import os
import sys

PALETTE = [
    (".", "#000000"),  # black: outlines, image background, mask shape
    ("w", "#FFFFFF"),  # white: highlights, mask surroundings
    ("l", "#C8C8C8"),  # light grey
    ("g", "#989898"),  # grey
    ("d", "#5C5C5C"),  # dark grey
    ("B", "#3C78F0"),  # blue
    ("b", "#1C3490"),  # dark blue
    ("P", "#B054E0"),  # purple
    ("p", "#5C2288"),  # dark purple
    ("G", "#44C04C"),  # green
    ("h", "#1C6C24"),  # dark green
    ("Y", "#F4D834"),  # yellow
    ("o", "#A87A14"),  # ochre
    ("N", "#9C5A2C"),  # brown
    ("n", "#50280C"),  # dark brown
    ("R", "#E42828"),  # red
]

# The five kinds: (main colour, shadow, highlight).
KINDS = {
    1: ("B", "b", "w"),
    2: ("P", "p", "w"),
    3: ("G", "h", "w"),
    4: ("Y", "o", "w"),
    5: ("N", "n", "o"),
}

# Top-left corner of each frame in the sheet; the same table the game fills at start-up.
FRAMES = {
    0: (0, 0), 1: (32, 0), 2: (32, 32), 3: (32, 64), 4: (32, 96), 5: (32, 128),
    6: (64, 0), 7: (64, 32), 8: (64, 64), 9: (64, 96), 10: (64, 128), 11: (128, 128),
    12: (0, 32), 13: (0, 64), 14: (0, 96), 15: (0, 128),
    16: (128, 0), 17: (128, 32), 18: (128, 64), 19: (128, 96),
    20: (96, 0), 21: (96, 32), 22: (96, 64), 23: (96, 96), 24: (96, 128),
}

SIZE = 32
CENTRE = 15.5
RING_OUTER = 13.6  # outer edge of a ring piece, from the centre of the square
RING_INNER = 5.6   # edge of its hole


def blank(c="."):
    return [[c] * SIZE for _ in range(SIZE)]


def in_ring(x, y):
    d = math.hypot(x - CENTRE, y - CENTRE)
    return RING_INNER <= d <= RING_OUTER


def ring_shape():
    return [[in_ring(x, y) for x in range(SIZE)] for y in range(SIZE)]


def piece_image(kind):
    main, shadow, light = KINDS[kind]
    shape = ring_shape()
    img = blank()
    tube_centre = (RING_OUTER + RING_INNER) / 2
    tube_radius = (RING_OUTER - RING_INNER) / 2
    lx, ly, lz = -0.55, -0.65, 0.52  # light from the upper left, in front
    for y in range(SIZE):
        for x in range(SIZE):
            if not shape[y][x]:
                continue
            edge = any(
                not (0 <= x + dx < SIZE and 0 <= y + dy < SIZE and shape[y + dy][x + dx])
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if edge:
                img[y][x] = "."
                continue
            # The ring as a torus: the surface normal across the tube decides the shade.
            dx, dy = x - CENTRE, y - CENTRE
            d = math.hypot(dx, dy)
            ux, uy = dx / d, dy / d
            t = max(-1.0, min(1.0, (d - tube_centre) / tube_radius))
            nz = math.sqrt(1 - t * t)
            lit = t * ux * lx + t * uy * ly + nz * lz
            if lit > 0.70 and t > 0:
                img[y][x] = light  # the gleam sits on the outer rim only
            elif lit < 0.05:
                img[y][x] = shadow
            else:
                img[y][x] = main
    return img


def piece_mask():
    shape = ring_shape()
    return [["." if shape[y][x] else "w" for x in range(SIZE)] for y in range(SIZE)]


def checker_floor():
    img = blank()
    for y in range(SIZE):
        for x in range(SIZE):
            dark = ((x // 8) + (y // 8)) % 2 == 1
            img[y][x] = "g" if dark else "l"
    # A thin grout line at the left and top edges, so neighbouring squares read as tiles.
    for i in range(SIZE):
        img[0][i] = "d" if img[0][i] == "g" else "g"
        img[i][0] = "d" if img[i][0] == "g" else "g"
    return img


def stone_floor():
    img = blank("g")
    # Irregular slabs: rectangles in tile coordinates, outlined with mortar.
    slabs = [(0, 0, 13, 10), (13, 0, 19, 7), (0, 10, 9, 12), (9, 10, 14, 8), (23, 7, 9, 11),
             (13, 7, 10, 3), (9, 18, 12, 14), (21, 18, 11, 14), (0, 22, 9, 10)]
    for sx, sy, w, h in slabs:
        for y in range(sy, min(sy + h, SIZE)):
            for x in range(sx, min(sx + w, SIZE)):
                right = x == sx + w - 1 or x == SIZE - 1
                bottom = y == sy + h - 1 or y == SIZE - 1
                top, left = y == sy, x == sx
                if right or bottom:
                    img[y][x] = "d"
                elif top or left:
                    img[y][x] = "l"
    # A few speckles give the stone some grain.
    for x, y in ((4, 4), (18, 3), (27, 12), (5, 15), (15, 23), (26, 26), (3, 27), (16, 12)):
        img[y][x] = "d"
        img[y][x + 1] = "l"
    return img


def wood_floor():
    img = blank("g")
    # Four planks of eight rows, joints staggered; grain lines in light grey.
    joints = [20, 7, 26, 13]
    for p in range(4):
        top = p * 8
        for x in range(SIZE):
            img[top][x] = "l"
            img[top + 7][x] = "d"
        j = joints[p]
        for y in range(top, top + 8):
            img[y][j] = "d"
            if j + 1 < SIZE:
                img[y][j + 1] = "l"
        for k, gy in enumerate((top + 2, top + 5)):
            for x in range(SIZE):
                wave = int(1.2 * math.sin((x + 7 * p + 5 * k) / 4.0))
                yy = gy + wave
                if top < yy < top + 7 and x not in (j, j + 1) and (x + k * 3 + p) % 11 != 0:
                    img[yy][x] = "l" if k == 0 else "d"
    return img


def white_floor():
    img = blank("w")
    for i in range(SIZE):
        img[0][i] = "l"
        img[i][0] = "l"
        img[16][i] = "l"
        img[i][16] = "l"
    for x, y in ((5, 5), (22, 7), (9, 24), (26, 21)):
        img[y][x] = "l"
    return img


def rubble_floor():
    img = blank("d")
    stones = [(5, 4, 3, "g"), (15, 6, 2, "l"), (25, 4, 3, "g"), (9, 13, 2, "N"), (20, 14, 4, "g"),
              (4, 21, 3, "l"), (13, 23, 3, "g"), (27, 22, 2, "N"), (22, 28, 2, "l"), (6, 29, 2, "g"),
              (29, 12, 1, "l"), (14, 15, 1, "l"), (1, 12, 1, "g")]
    for cx, cy, r, c in stones:
        for y in range(cy - r - 1, cy + r + 2):
            for x in range(cx - r - 1, cx + r + 2):
                if not (0 <= x < SIZE and 0 <= y < SIZE):
                    continue
                d = math.hypot(x - cx, (y - cy) * 1.25)
                if d <= r:
                    img[y][x] = c
                    if d > r - 1 and (y > cy or x > cx):
                        img[y][x] = "." if c != "N" else "n"
                    elif x - cx + y - cy < -r * 0.6:
                        img[y][x] = "w" if c == "l" else ("l" if c == "g" else "o")
    return img


def goal_plate(kind):
    main, shadow, light = KINDS[kind]
    img = checker_floor()
    # A plate sunk into the floor, two pixels in: its face in the kind's dark shade, so a piece of
    # the same kind stands out on it, lit rims in the kind's colour, and an engraved circle where
    # the ring goes.
    for y in range(2, 30):
        for x in range(2, 30):
            if x in (2, 29) or y in (2, 29):
                c = "."
            elif x <= 4 or y <= 4:
                c = "d" if (x <= 4 and y < 33 - x) or (y <= 4 and x < 33 - y) else main
            elif x >= 27 or y >= 27:
                c = main
            else:
                c = shadow
            img[y][x] = c
    for y in range(5, 27):
        for x in range(5, 27):
            d = math.hypot(x - CENTRE, y - CENTRE)
            if 9.0 <= d < 10.4:
                img[y][x] = "." if (x + y) < 31 else main
            elif d < 2.0:
                img[y][x] = main
    return img


def wall_block(main, shadow, light):
    img = blank(main)
    for y in range(SIZE):
        for x in range(SIZE):
            if x == 31 or y == 31:
                img[y][x] = "."
            elif x <= 1 or y <= 1:
                img[y][x] = light if x + y < 31 or x <= 1 and y < 30 or y <= 1 and x < 30 else shadow
                if (x <= 1 and y >= 30 - x) or (y <= 1 and x >= 30 - y):
                    img[y][x] = shadow
            elif x >= 29 or y >= 29:
                img[y][x] = shadow
    # Bricks on the face: two courses of two bricks, staggered.
    for y in range(2, 29):
        for x in range(2, 29):
            row = (y - 2) // 9
            offset = 7 if row % 2 else 0
            if (y - 2) % 9 == 8:
                img[y][x] = shadow
            elif (x - 2 + offset) % 14 == 13:
                img[y][x] = shadow
            elif (y - 2) % 9 == 0 or (x - 2 + offset) % 14 == 0:
                img[y][x] = light if light != main else img[y][x]
    return img


def trap():
    img = checker_floor()
    # A dark pit with a red ring and a red cross over it.
    for y in range(SIZE):
        for x in range(SIZE):
            d = math.hypot(x - CENTRE, y - CENTRE)
            if d <= 12.5:
                img[y][x] = "d"
            if 11.0 <= d <= 14.2:
                img[y][x] = "R"
            if 14.2 < d <= 15.2 or 10.0 <= d < 11.0:
                img[y][x] = "."
    for i in range(7, 25):
        for w in (-1, 0, 1):
            for (x, y) in ((i + w, i), (31 - i + w, i)):
                if 0 <= x < SIZE:
                    img[y][x] = "R"
        for (x, y) in ((i + 2, i), (i - 2, i), (31 - i + 2, i), (31 - i - 2, i)):
            if 0 <= x < SIZE and img[y][x] != "R" and math.hypot(x - CENTRE, y - CENTRE) < 10.0:
                img[y][x] = "."
    return img


def build():
    frames = {0: checker_floor(), 12: stone_floor(), 13: wood_floor(), 14: white_floor(), 15: rubble_floor(),
              11: trap(),
              16: wall_block("Y", "o", "w"), 17: wall_block("B", "b", "w"), 18: wall_block("P", "p", "w"),
              19: wall_block("G", "h", "w")}
    for k in range(1, 6):
        frames[k] = piece_image(k)
        frames[k + 5] = goal_plate(k)
        frames[k + 19] = piece_mask()
    sheet = [["."] * 160 for _ in range(160)]
    for n, (fx, fy) in FRAMES.items():
        f = frames[n]
        for y in range(SIZE):
            for x in range(SIZE):
                sheet[fy + y][fx + x] = f[y][x]
    return sheet


def xpm(sheet):
    out = ["/* XPM */", "static const char* const tiles_xpm[] = {",
           f'"160 160 {len(PALETTE)} 1",']
    out += [f'"{c} c {rgb}",' for c, rgb in PALETTE]
    out += [f'"{"".join(row)}",' for row in sheet]
    out[-1] = out[-1].rstrip(",")
    out.append("};")
    return "\n".join(out) + "\n"


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = os.path.join(root, "assets", "tiles.xpm")
    if len(sys.argv) > 1:
        target = sys.argv[1]
    with open(target, "w") as f:
        f.write(xpm(build()))


if __name__ == "__main__":
    main()
