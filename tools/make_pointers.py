#!/usr/bin/env python3
"""Draws the two 32 x 32 pointer images of the main window and writes them as XPM files:

  assets/click_pointer.xpm     a mouse with a red arrow on its left button (script mode)
  assets/keyboard_pointer.xpm  a keyboard with a red arrow pointing at it (puzzle mode)

Run from the repository root: python3 tools/make_pointers.py
The XPM "values" line carries the hot spot (the tip of the red arrow), which the program reads.
The colour #010203 is the see-through colour; no drawing uses it otherwise.
"""
import math
import os
import sys

SIZE = 32
COLOURS = {
    ".": "#010203",  # see-through
    "K": "#000000",  # outlines
    "W": "#FFFFFF",
    "L": "#C0C0C0",
    "G": "#808080",
    "R": "#FF0000",
    "D": "#800000",
}


class Canvas:
    def __init__(self):
        self.px = [["."] * SIZE for _ in range(SIZE)]

    def get(self, x, y):
        return self.px[y][x] if 0 <= x < SIZE and 0 <= y < SIZE else "."

    def set(self, x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = c

    def shape(self, inside, fill, outline="K"):
        """Fills the pixels whose centres lie inside, and outlines the shape's own edge pixels."""
        mask = {(x, y) for y in range(SIZE) for x in range(SIZE) if inside(x + 0.5, y + 0.5)}
        for x, y in mask:
            edge = any((x + dx, y + dy) not in mask for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            self.set(x, y, outline if edge else fill)
        return mask

    def outlined(self, inside, fill, outline="K"):
        """Fills the shape and draws an outline just outside it, so it stands out on anything."""
        mask = {(x, y) for y in range(SIZE) for x in range(SIZE) if inside(x + 0.5, y + 0.5)}
        for x, y in mask:
            for dx in (-1, 0, 1):
                for dy in (-1, 0, 1):
                    if (x + dx, y + dy) not in mask:
                        self.set(x + dx, y + dy, outline)
        for x, y in mask:
            self.set(x, y, fill)

    def xpm(self, name, hot):
        used = [c for c in COLOURS if any(c in row for row in self.px)]
        lines = ["/* XPM */", f"static const char* const {name}[] = {{",
                 f'"{SIZE} {SIZE} {len(used)} 1 {hot[0]} {hot[1]}",']
        lines += [f'"{c} c {COLOURS[c]}",' for c in used]
        rows = ['"' + "".join(row) + '"' for row in self.px]
        lines.append(",\n".join(rows))
        lines.append("};")
        return "\n".join(lines) + "\n"


def rounded_rect(x0, y0, x1, y1, r_top, r_bottom):
    """Inside test of a rectangle with rounded corners (radii for the top and the bottom)."""
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        r = r_top if y < (y0 + y1) / 2 else r_bottom
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def polygon(points):
    """Inside test of a polygon (even-odd rule)."""
    def inside(x, y):
        result = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                result = not result
        return result
    return inside


def arrow(tail, tip, head_length=7.0, head_width=4.6, shaft_width=1.6):
    """An arrow from tail to tip: a shaft and a triangular head."""
    (tx, ty), (px, py) = tail, tip
    length = math.hypot(px - tx, py - ty)
    ux, uy = (px - tx) / length, (py - ty) / length  # along the arrow
    nx, ny = -uy, ux  # across it
    bx, by = px - ux * head_length, py - uy * head_length  # where the head starts
    return polygon([
        (tx + nx * shaft_width, ty + ny * shaft_width),
        (bx + nx * shaft_width, by + ny * shaft_width),
        (bx + nx * head_width, by + ny * head_width),
        (px, py),
        (bx - nx * head_width, by - ny * head_width),
        (bx - nx * shaft_width, by - ny * shaft_width),
        (tx - nx * shaft_width, ty - ny * shaft_width),
    ])


def click_pointer():
    c = Canvas()
    # The mouse: a body seen from above, cable at the top, two buttons.
    for y in range(1, 6):
        c.set(22, y, "K")  # cable
    c.set(21, 1, "K")
    c.set(20, 0, "K")
    body = rounded_rect(12, 5, 31, 31, 6, 8)
    c.shape(body, "L")
    for y in range(6, 16):
        c.set(21, y, "K")  # the gap between the buttons
    for x in range(13, 31):
        if c.get(x, 15) != ".":
            c.set(x, 15, "K")  # the lower edge of the buttons
    for y in range(6, 15):  # the left button, lit
        for x in range(13, 21):
            if c.get(x, y) == "L":
                c.set(x, y, "W")
    for y in range(22, 30):  # a little shading on the lower right of the body
        for x in range(24, 31):
            if c.get(x, y) == "L" and x + y > 51:
                c.set(x, y, "G")
    # The red arrow comes from the upper left and touches the left button.
    tip = (16, 10)
    c.outlined(arrow((1.5, 22.5), (tip[0] + 0.5, tip[1] + 0.5), 7.5, 4.2, 1.5), "R")
    return c, tip


def keyboard_pointer():
    c = Canvas()
    # The keyboard: a case with three rows of keys and a space bar.
    c.shape(rounded_rect(0, 16, 31, 31, 2, 2), "L")
    for row, (y, x0, n) in enumerate(((19, 3, 9), (22, 4, 9), (25, 5, 8))):
        for k in range(n):
            x = x0 + 3 * k
            c.set(x, y, "W")
            c.set(x + 1, y, "W")
            c.set(x, y + 1, "G")
            c.set(x + 1, y + 1, "G")
    for x in range(9, 23):
        c.set(x, 28, "W")
        c.set(x, 29, "G")
    # The red arrow points straight down at the keys.
    tip = (16, 18)
    c.outlined(arrow((16.0, 0.5), (16.0, tip[1] + 0.5), 7.5, 5.0, 1.6), "R")
    return c, tip


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    for name, draw in (("click_pointer", click_pointer), ("keyboard_pointer", keyboard_pointer)):
        canvas, hot = draw()
        path = os.path.join(root, "assets", name + ".xpm")
        with open(path, "w") as f:
            f.write(canvas.xpm(name + "_xpm", hot))
        print("wrote", os.path.relpath(path), "hot spot", hot, file=sys.stderr)


if __name__ == "__main__":
    main()
