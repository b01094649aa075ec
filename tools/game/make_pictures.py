#!/usr/bin/env python3
"""Draws the bundled game's pictures as pixel art and writes them as GIF files named NAME.szg.

  python3 tools/game/make_pictures.py [OUTPUT_DIR]     (default: game/)

Scenes are drawn at 220 x 160 and doubled to the 440 x 320 of the scene picture; the sea chart for
the picture window is drawn at 320 x 200 and doubled to 640 x 400. Everything is drawn here from
shapes with a fixed palette and fixed random seeds, so a run always writes the same files. Japanese
lettering (the title, the chart's names) is rendered by ImageMagick's `convert` with the IPA fonts
into one-bit masks, which are then stamped in the palette's colours.
"""
import math
import random
import re
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
MINCHO = "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf"
GOTHIC = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"

PALETTE = {
    "black": (0, 0, 0), "ink": (16, 16, 32), "night": (18, 22, 56), "navy": (30, 38, 92),
    "dusk": (70, 52, 120), "violet": (120, 72, 140), "rose": (200, 110, 130), "peach": (240, 170, 130),
    "sea": (20, 48, 96), "sea2": (34, 78, 130), "foam": (170, 200, 230), "white": (240, 240, 232),
    "grey": (120, 120, 130), "grey2": (80, 80, 92), "rock": (52, 48, 60), "rock2": (84, 74, 82),
    "red": (200, 40, 40), "dred": (120, 24, 32), "wood": (120, 76, 44), "wood2": (86, 52, 30),
    "wood3": (156, 104, 62), "lamp": (255, 214, 110), "glow": (255, 240, 180), "orange": (240, 120, 40),
    "green": (40, 120, 60), "blue": (60, 110, 220), "purple": (140, 70, 200), "yellow": (230, 200, 40),
    "brown": (150, 90, 40), "paper": (232, 214, 170), "paper2": (200, 176, 128), "cloud": (60, 64, 96),
    "sky": (110, 170, 228), "sky2": (176, 214, 240), "sun": (255, 250, 220), "bay": (48, 120, 180),
}
NAMES = list(PALETTE)
IDX = {n: i for i, n in enumerate(NAMES)}
BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


class Canvas:
    def __init__(self, w, h, fill="black"):
        self.w, self.h = w, h
        self.px = bytearray([IDX[fill]]) * (w * h)

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = IDX[c]

    def get(self, x, y):
        return NAMES[self.px[y * self.w + x]]

    def rect(self, x0, y0, x1, y1, c):
        """Fills x0..x1-1, y0..y1-1."""
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.px[y * self.w + x] = IDX[c]

    def gradient(self, y0, y1, colours):
        """Vertical bands between the colours, blended with an ordered dither."""
        n = len(colours) - 1
        for y in range(y0, y1):
            t = (y - y0) / max(1, y1 - y0 - 1) * n
            i = min(int(t), n - 1)
            f = t - i
            for x in range(self.w):
                self.set(x, y, colours[i + 1] if f * 16 > BAYER[y % 4][x % 4] else colours[i])

    def disc(self, cx, cy, r, c):
        for y in range(int(cy - r), int(cy + r) + 1):
            for x in range(int(cx - r), int(cx + r) + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def ring(self, cx, cy, r0, r1, c):
        for y in range(int(cy - r1), int(cy + r1) + 1):
            for x in range(int(cx - r1), int(cx + r1) + 1):
                if r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1:
                    self.set(x, y, c)

    def poly(self, pts, c):
        """Fills a polygon by scanlines (even-odd)."""
        ys = [p[1] for p in pts]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            xs = []
            for (xa, ya), (xb, yb) in zip(pts, pts[1:] + pts[:1]):
                if (ya <= y + 0.5 < yb) or (yb <= y + 0.5 < ya):
                    xs.append(xa + (y + 0.5 - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(int(round(a)), int(round(b))):
                    self.set(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.set(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def stamp(self, mask, x0, y0, c, outline=None):
        """Draws a one-bit mask (rows of booleans), optionally with a one-pixel outline around it."""
        if outline:
            for y, row in enumerate(mask):
                for x, on in enumerate(row):
                    if on:
                        for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1), (-1, -1), (1, 1), (-1, 1), (1, -1)):
                            self.set(x0 + x + dx, y0 + y + dy, outline)
        for y, row in enumerate(mask):
            for x, on in enumerate(row):
                if on:
                    self.set(x0 + x, y0 + y, c)

    def doubled(self):
        out = Canvas(self.w * 2, self.h * 2)
        for y in range(self.h):
            row = self.px[y * self.w:(y + 1) * self.w]
            wide = bytearray(b for p in row for b in (p, p))
            out.px[2 * y * out.w:(2 * y + 1) * out.w] = wide
            out.px[(2 * y + 1) * out.w:(2 * y + 2) * out.w] = wide
        return out


def text_mask(text, size, font=MINCHO):
    """A one-bit mask of the text, rendered without anti-aliasing by ImageMagick."""
    pbm = subprocess.run(["convert", "-font", font, "-pointsize", str(size), "+antialias",
                          "-background", "white", "-fill", "black", f"label:{text}", "-trim",
                          "pbm:-"], capture_output=True, check=True).stdout
    header = re.match(rb"P4\s+(\d+)\s+(\d+)\s", pbm)
    assert header, "convert did not write a PBM"
    w, h, data = int(header.group(1)), int(header.group(2)), pbm[header.end():]
    stride = (w + 7) // 8
    return [[bool(data[y * stride + x // 8] & (0x80 >> (x % 8))) for x in range(w)] for y in range(h)]


# ---------------------------------------------------------------- GIF writer

def gif_bytes(canvas):
    """The canvas as a GIF89a with a 64-entry global palette and LZW-compressed pixels."""
    bits = 6
    table = b"".join(bytes(PALETTE[n]) for n in NAMES) + b"\0" * (3 * ((1 << bits) - len(NAMES)))
    out = bytearray(b"GIF89a")
    out += canvas.w.to_bytes(2, "little") + canvas.h.to_bytes(2, "little")
    out += bytes([0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0]) + table
    out += b"," + b"\0\0\0\0" + canvas.w.to_bytes(2, "little") + canvas.h.to_bytes(2, "little") + b"\0"
    out += bytes([bits])
    data = lzw(canvas.px, bits)
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    out += b"\0;"
    return bytes(out)


def lzw(pixels, min_bits):
    clear, stop = 1 << min_bits, (1 << min_bits) + 1
    out, acc, nacc = bytearray(), 0, 0
    width = min_bits + 1

    def emit(code):
        nonlocal acc, nacc
        acc |= code << nacc
        nacc += width
        while nacc >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nacc -= 8

    def reset():
        return {bytes([i]): i for i in range(clear)}, stop + 1

    codes, nxt = reset()
    emit(clear)
    cur = b""
    for p in pixels:
        ext = cur + bytes([p])
        if ext in codes:
            cur = ext
            continue
        emit(codes[cur])
        if nxt < 4096:
            codes[ext] = nxt
            nxt += 1
            if nxt > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear)
            codes, nxt = reset()
            width = min_bits + 1
        cur = bytes([p])
    emit(codes[cur])
    emit(stop)
    if nacc:
        out.append(acc & 0xFF)
    return bytes(out)


# ---------------------------------------------------------------- shared scenery

def sea(c, y0, rnd, light_x=None):
    c.gradient(y0, c.h, ["sea2", "sea", "night"])
    for _ in range(c.w * (c.h - y0) // 40):
        x, y = rnd.randrange(c.w), rnd.randrange(y0 + 1, c.h)
        n = rnd.randrange(2, 7)
        col = "foam" if rnd.random() < 0.25 else "sea2"
        for i in range(n):
            c.set(x + i, y, col)
    if light_x is not None:
        for y in range(y0 + 1, c.h, 2):
            half = 2 + (y - y0) // 6
            for x in range(light_x - half, light_x + half):
                if rnd.random() < 0.5:
                    c.set(x, y, "lamp")


def clouds(c, rnd, y0, y1, n, col="cloud", x0=0, x1=None):
    for _ in range(n):
        cx, cy = rnd.randrange(x0, x1 or c.w), rnd.randrange(y0, y1)
        for k in range(5):
            c.disc(cx + k * 7 - 14, cy + (k % 2) * 2, 5 + rnd.randrange(4), col)


def rain(c, rnd, n):
    for _ in range(n):
        x, y = rnd.randrange(c.w), rnd.randrange(c.h)
        c.line(x, y, x - 2, y + 5, "foam")


def bolt(c, pts, branch=()):
    """A lightning bolt from under the clouds into the open sky: a glowing core with a lamp-yellow
    edge, drawn after the clouds so that all of it shows."""
    for path, width in ((pts, 1), (branch, 0)):
        for (xa, ya), (xb, yb) in zip(path, path[1:]):
            for dx in range(-width - 1, width + 2):
                c.line(xa + dx, ya, xb + dx, yb, "lamp")
        for (xa, ya), (xb, yb) in zip(path, path[1:]):
            for dx in range(-width, width + 1):
                c.line(xa + dx, ya, xb + dx, yb, "glow")


def lighthouse(c, x, base, height, lit):
    """A white tower with red bands, its gallery and lamp house; x is the centre."""
    top = base - height
    for y in range(top, base):
        half = 6 + (y - top) * 5 // height
        band = ((y - top) // 10) % 2 == 1
        for xx in range(x - half, x + half):
            shade = "grey" if xx >= x + half - 3 else ("red" if band else "white")
            if band and xx >= x + half - 3:
                shade = "dred"
            c.set(xx, y, shade)
    c.rect(x - 2, base - 12, x + 2, base, "wood2")  # door
    c.rect(x - 9, top - 2, x + 9, top, "ink")  # gallery
    c.rect(x - 6, top - 12, x + 6, top - 2, "glow" if lit else "navy")
    for xx in (x - 6, x - 2, x + 2, x + 5):
        c.rect(xx, top - 12, xx + 1, top - 2, "ink")
    c.poly([(x - 8, top - 12), (x + 8, top - 12), (x, top - 19)], "dred")
    c.rect(x, top - 22, x + 1, top - 19, "ink")


def small_lighthouse(c, x, base, height, lit):
    """A far-away or painted lighthouse: a thin banded tower, its lamp and roof."""
    top = base - height
    for y in range(top, base):
        band = ((y - top) * 4 // height) % 2 == 1
        c.rect(x - 2, y, x + 2, y + 1, "red" if band else "white")
    c.rect(x - 3, top - 1, x + 3, top, "ink")
    c.rect(x - 2, top - 4, x + 2, top - 1, "glow" if lit else "navy")
    c.poly([(x - 3, top - 4), (x + 3, top - 4), (x, top - 7)], "dred")


def cliff(c, pts, rnd):
    c.poly(pts, "rock")
    for _ in range(300):
        x, y = rnd.randrange(c.w), rnd.randrange(c.h)
        if c.get(x, y) == "rock":
            c.set(x, y, "rock2")
    # grass along the top edge, in tufts
    for x in range(c.w):
        for y in range(c.h):
            if c.get(x, y) in ("rock", "rock2"):
                c.set(x, y, "green")
                if (x * 7) % 5 < 2:
                    c.set(x, y + 1, "green")
                if (x * 3) % 7 == 0:
                    c.set(x, y - 1, "green")
                break


def girl(c, x, y):
    """Nagisa from behind, small: dark hair, a red coat."""
    c.disc(x, y, 3, "ink")
    c.poly([(x - 4, y + 3), (x + 4, y + 3), (x + 5, y + 13), (x - 5, y + 13)], "red")
    c.rect(x - 3, y + 13, x - 1, y + 17, "ink")
    c.rect(x + 1, y + 13, x + 3, y + 17, "ink")


def boat(c, x, y, lit):
    c.poly([(x - 12, y), (x + 12, y), (x + 8, y + 5), (x - 9, y + 5)], "white")
    c.rect(x - 9, y + 3, x + 8, y + 5, "red")
    c.rect(x - 4, y - 6, x + 3, y, "white")
    c.rect(x - 3, y - 5, x - 1, y - 3, "lamp" if lit else "grey")
    c.rect(x + 1, y - 12, x + 2, y - 6, "ink")
    if lit:
        c.set(x + 1, y - 13, "lamp")


# ---------------------------------------------------------------- scenes

def title():
    rnd = random.Random(1)
    c = Canvas(220, 160)
    # the storm's night: low clouds, a bolt over the sea, rain and surf; the lighthouse is dark
    c.gradient(0, 104, ["ink", "night", "navy", "cloud"])
    clouds(c, rnd, 0, 36, 14, "cloud")
    clouds(c, rnd, 0, 20, 8, "grey2")
    bolt(c, [(120, 24), (126, 40), (118, 50), (130, 70), (124, 80), (132, 100)], branch=[(118, 50), (108, 62)])
    sea(c, 104, rnd)
    cliff(c, [(150, 104), (160, 86), (178, 80), (220, 78), (220, 160), (136, 160), (140, 120)], rnd)
    lighthouse(c, 186, 82, 44, lit=False)
    for x in range(0, 150, 3):  # surf breaking at the foot of the cape
        if rnd.random() < 0.5:
            c.set(x, 104 + rnd.randrange(5), "foam")
    rain(c, rnd, 140)
    name = text_mask("しおみ岬の灯", 26)
    c.stamp(name, 12, 40, "glow", outline="ink")
    sub = text_mask("嵐の夜の灯台守", 12)
    c.stamp(sub, 14, 40 + len(name) + 8, "foam", outline="ink")
    c.rect(0, 146, 220, 160, "night")
    return c


def home():
    rnd = random.Random(2)
    c = Canvas(220, 160, "wood")
    # the view through the window first: the dark lighthouse far away; the wall is drawn round it
    c.gradient(22, 62, ["night", "navy", "dusk"])
    clouds(c, rnd, 26, 34, 2, x0=30, x1=70)
    for y in range(62, 78):
        for x in range(20, 86):
            c.set(x, y, "sea" if (x + y) % 7 else "sea2")
    c.poly([(56, 63), (66, 57), (86, 55), (86, 63)], "rock")
    small_lighthouse(c, 76, 57, 14, lit=False)
    for y in range(0, 118):  # the wall, around the window
        for x in range(220):
            if not (20 <= x < 86 and 22 <= y < 78):
                c.set(x, y, "wood2" if y % 8 == 0 else "wood")
    for x in range(0, 220, 36):
        for y in range(0, 118, 16):
            if not (20 <= x < 86 and 22 <= y < 78):
                c.set(x + (y // 16 % 2) * 18, y + 4, "wood2")
    c.rect(0, 118, 220, 160, "wood2")  # floor
    for y in range(122, 160, 6):
        c.rect(0, y, 220, y + 1, "wood")
    c.rect(16, 18, 90, 22, "wood3")  # the window frame
    c.rect(16, 78, 90, 82, "wood3")
    c.rect(16, 18, 20, 82, "wood3")
    c.rect(86, 18, 90, 82, "wood3")
    c.rect(52, 22, 54, 78, "wood3")
    c.rect(20, 48, 86, 50, "wood3")
    c.rect(14, 82, 92, 86, "wood3")
    # clock
    c.rect(118, 14, 138, 60, "wood3")
    c.disc(128, 25, 7, "paper")
    c.line(128, 25, 128, 20, "ink")
    c.line(128, 25, 131, 27, "ink")
    c.rect(127, 34, 129, 50, "lamp")
    c.disc(128, 52, 3, "lamp")
    # photo
    c.rect(150, 22, 176, 44, "wood3")
    c.rect(152, 24, 174, 42, "paper2")
    small_lighthouse(c, 163, 40, 10, lit=True)
    c.disc(163, 33, 2, "glow")
    # desk with the radio and the lamp
    c.rect(104, 86, 210, 92, "wood3")
    c.rect(108, 92, 114, 136, "wood3")
    c.rect(200, 92, 206, 136, "wood3")
    c.rect(150, 92, 196, 108, "wood3")
    c.rect(170, 99, 176, 101, "lamp")
    c.rect(118, 64, 150, 86, "grey2")  # radio
    c.rect(120, 66, 136, 80, "ink")
    for y in range(68, 79, 3):
        c.rect(121, y, 135, y + 1, "grey")
    c.disc(143, 72, 3, "grey")
    c.disc(143, 81, 2, "red")
    c.line(146, 64, 142, 46, "grey")
    c.rect(176, 78, 190, 86, "dred")  # lamp
    c.disc(183, 72, 6, "glow")
    c.disc(183, 72, 4, "lamp")
    c.rect(0, 146, 220, 160, "wood2")
    return c


def harbour(morning=False):
    """The harbour with Tae's shop: in the storm (rain, spray over the breakwater, the Hayate-maru's
    berth empty) or on the next morning (clear sky, calm sea, the boat back at the pier)."""
    rnd = random.Random(3)
    c = Canvas(220, 160)
    if morning:
        c.gradient(0, 86, ["sky", "sky", "sky2", "sky2"])
        c.disc(186, 24, 10, "sun")
        clouds(c, rnd, 14, 40, 3, "white")
        c.gradient(86, 160, ["bay", "sea2", "sea"])
        for _ in range(60):
            x, y = rnd.randrange(c.w), rnd.randrange(88, 146)
            c.rect(x, y, x + rnd.randrange(3, 8), y + 1, "foam" if rnd.random() < 0.3 else "sky")
    else:
        c.gradient(0, 86, ["ink", "night", "navy", "cloud"])
        clouds(c, rnd, 0, 40, 12, "cloud")
        clouds(c, rnd, 0, 22, 6, "grey2")
        sea(c, 86, rnd)
        c.rect(150, 78, 220, 88, "rock2")  # the breakwater, and the waves over it
        for _ in range(120):
            x, y = 140 + rnd.randrange(80), 60 + rnd.randrange(28)
            if rnd.random() < 0.7:
                c.set(x, y, "foam")
    # Tae's shop on the left
    c.rect(0, 46, 70, 120, "wood2")
    c.poly([(-4, 48), (74, 48), (60, 32), (8, 32)], "rock2")
    c.rect(10, 60, 34, 80, "lamp")
    c.rect(21, 60, 23, 80, "wood2")
    c.rect(10, 69, 34, 71, "wood2")
    c.rect(44, 70, 60, 120, "wood")
    c.disc(52, 56, 4, "red")  # lantern
    c.rect(51, 50, 53, 53, "ink")
    sign = text_mask("たえ", 10, GOTHIC)
    c.rect(38, 38, 62, 47, "paper")
    c.stamp(sign, 50 - len(sign[0]) // 2, 38, "ink")
    # the pier
    c.poly([(70, 112), (220, 104), (220, 116), (70, 124)], "wood3")
    for x in range(74, 220, 10):
        c.line(x, 124 - (x - 70) * 8 // 150, x, 112 - (x - 70) * 8 // 150, "wood2")
        c.rect(x, 122 - (x - 70) * 8 // 150, x + 2, 140, "wood2")
    c.rect(0, 120, 70, 160, "rock")
    # boats: the moored ones, and in the morning the Hayate-maru in her empty berth
    boat(c, 110, 96, lit=False)
    boat(c, 160, 92, lit=False)
    if morning:
        boat(c, 134, 100, lit=False)
    # the cat on the pier: white with orange and black patches
    cx, cy = 190, 102
    c.rect(cx, cy, cx + 8, cy + 4, "white")
    c.rect(cx + 1, cy, cx + 4, cy + 2, "orange")
    c.rect(cx + 6, cy - 3, cx + 10, cy + 1, "white")
    c.set(cx + 6, cy - 4, "ink")
    c.set(cx + 9, cy - 4, "orange")
    c.set(cx + 8, cy - 2, "ink")
    c.line(cx, cy + 1, cx - 3, cy - 3, "ink")
    if not morning:
        rain(c, rnd, 150)
    c.rect(0, 146, 220, 160, "navy" if morning else "night")
    return c


def morning():
    return harbour(morning=True)


def lighthouse_scene():
    rnd = random.Random(4)
    c = Canvas(220, 160)
    c.gradient(0, 110, ["ink", "night", "navy", "cloud"])
    clouds(c, rnd, 0, 40, 12, "cloud")
    clouds(c, rnd, 0, 24, 6, "grey2")
    sea(c, 110, rnd)
    bolt(c, [(44, 30), (50, 46), (44, 54), (54, 72), (50, 78), (58, 94)], branch=[(44, 54), (36, 66), (38, 74)])
    cliff(c, [(0, 110), (30, 98), (90, 92), (170, 96), (220, 104), (220, 160), (0, 160)], rnd)
    lighthouse(c, 120, 96, 74, lit=False)
    for x in range(0, 220, 3):  # surf on the rocks
        if rnd.random() < 0.4:
            c.set(x, 108 + rnd.randrange(4), "foam")
    rain(c, rnd, 160)
    c.rect(0, 146, 220, 160, "ink")
    return c


def lamp_room():
    rnd = random.Random(5)
    c = Canvas(220, 160, "grey2")
    # windows all round, the storm outside
    c.gradient(6, 84, ["ink", "night", "navy", "cloud"])
    rain(c, rnd, 50)
    for x in range(0, 220, 44):
        c.rect(x, 0, x + 4, 86, "ink")
    c.rect(0, 0, 220, 6, "ink")
    c.rect(0, 84, 220, 90, "ink")
    c.rect(0, 90, 220, 160, "grey2")
    for y in range(96, 160, 8):
        c.rect(0, y, 220, y + 1, "rock2")
    # the lens: rings of glass
    for r, col in ((34, "foam"), (30, "sea2"), (26, "foam"), (21, "sea2"), (16, "foam"), (11, "white")):
        c.disc(110, 52, r, col)
    c.rect(76, 50, 144, 54, "grey")
    c.rect(104, 86, 116, 100, "grey")
    # the board of rings under it
    c.rect(54, 100, 166, 140, "ink")
    c.rect(56, 102, 164, 138, "rock")
    colours = ["blue", "purple", "green", "yellow", "brown"]
    for i, col in enumerate(colours):
        x = 70 + i * 20
        c.rect(x - 7, 106, x + 7, 120, "grey2")
        c.ring(x, 113, 3, 6, col)
        c.ring(x - 4 + (i % 3) * 3, 129, 3, 6, colours[(i + 2) % 5])
    c.rect(170, 112, 174, 140, "grey")  # the handle
    c.disc(172, 110, 4, "red")
    c.rect(0, 146, 220, 160, "ink")
    return c


def ending_light():
    rnd = random.Random(6)
    c = Canvas(220, 160)
    # still the storm's night: heavy clouds and rain, which the beam lights up
    c.gradient(0, 100, ["ink", "night", "navy", "cloud"])
    clouds(c, rnd, 0, 34, 12, "cloud")
    clouds(c, rnd, 0, 18, 6, "grey2")
    sea(c, 100, rnd)
    rain(c, rnd, 120)
    cliff(c, [(150, 100), (162, 80), (220, 74), (220, 160), (140, 160)], rnd)
    lighthouse(c, 190, 78, 46, lit=True)
    # the beam across the sea
    top = 78 - 46
    cy = top - 7
    for y in range(0, 100):
        for x in range(0, 184):
            # a cone that opens to the left and dips toward the sea
            mid = cy + (184 - x) * 0.12
            half = 2 + (184 - x) * 0.16
            d = abs(y - mid)
            if d <= half * 0.6 and (x + y) % 2 == 0:
                c.set(x, y, "glow")
            elif d <= half and (x + y * 3) % 4 == 0:
                c.set(x, y, "lamp")
    for y in range(102, 146, 3):  # its glitter on the water
        for x in range(10, 140, 9):
            x0 = x + (y * 5) % 7
            c.rect(x0, y, x0 + 3, y + 1, "lamp")
    c.disc(190, cy, 7, "glow")
    boat(c, 70, 114, lit=True)
    c.rect(0, 146, 220, 160, "night")
    return c


def ending_fire():
    rnd = random.Random(7)
    c = Canvas(220, 160)
    c.gradient(0, 96, ["ink", "night", "navy", "cloud"])
    clouds(c, rnd, 0, 50, 12, "cloud")
    sea(c, 96, rnd)
    for r in (30, 22, 15):  # the fire's glow on the rain and the rock
        for y in range(110 - r, 110 + r):
            for x in range(151 - r, 151 + r):
                if (x - 151) ** 2 + (y - 110) ** 2 <= r * r and (x + y) % (2 if r == 15 else 4) == 0:
                    c.set(x, y, "dred" if r == 30 else "orange" if r == 22 else "lamp")
    cliff(c, [(110, 160), (120, 118), (150, 108), (220, 104), (220, 160)], rnd)
    lighthouse(c, 196, 106, 40, lit=False)
    # the bonfire
    c.rect(140, 116, 162, 119, "wood2")
    c.line(140, 119, 160, 113, "wood")
    c.poly([(143, 116), (159, 116), (154, 104), (151, 96), (147, 106)], "orange")
    c.poly([(147, 116), (156, 116), (152, 104), (150, 108)], "lamp")
    c.disc(151, 114, 2, "glow")
    for _ in range(12):
        c.set(146 + rnd.randrange(12), 84 + rnd.randrange(12), rnd.choice(["orange", "lamp"]))
    girl(c, 132, 100)
    rain(c, rnd, 110)
    c.rect(0, 146, 220, 160, "night")
    return c


def chart():
    """The sea chart of the picture window: the island, the east island and the boat's way."""
    rnd = random.Random(8)
    c = Canvas(320, 200, "paper")
    for _ in range(900):
        c.set(rnd.randrange(320), rnd.randrange(200), "paper2")
    for x in range(0, 320, 40):
        for y in range(200):
            if y % 3:
                c.set(x, y, "paper2")
    for y in range(0, 200, 40):
        for x in range(320):
            if x % 3:
                c.set(x, y, "paper2")
    c.rect(0, 0, 320, 3, "wood2")
    c.rect(0, 197, 320, 200, "wood2")
    c.rect(0, 0, 3, 200, "wood2")
    c.rect(317, 0, 320, 200, "wood2")

    def island(cx, cy, rx, ry, seed):
        r = random.Random(seed)
        pts = []
        for i in range(24):
            a = i / 24 * 2 * math.pi
            k = 0.8 + r.random() * 0.35
            pts.append((cx + math.cos(a) * rx * k, cy + math.sin(a) * ry * k))
        c.poly(pts, "paper2")
        for (xa, ya), (xb, yb) in zip(pts, pts[1:] + pts[:1]):
            c.line(round(xa), round(ya), round(xb), round(yb), "wood2")

    island(84, 120, 44, 30, 1)
    island(262, 56, 30, 20, 2)
    island(200, 160, 10, 6, 3)
    # the cape with the lighthouse mark
    c.disc(118, 96, 4, "red")
    c.disc(118, 96, 2, "white")
    # the boat's way, dotted
    pts = [(232, 66), (206, 80), (176, 92), (148, 96), (124, 100), (100, 112)]
    for (xa, ya), (xb, yb) in zip(pts, pts[1:]):
        n = max(abs(xb - xa), abs(yb - ya))
        for i in range(0, n, 4):
            c.set(xa + (xb - xa) * i // n, ya + (yb - ya) * i // n, "red")
            c.set(xa + (xb - xa) * i // n + 1, ya + (yb - ya) * i // n, "red")
    # the reef on the way, with the keeper's warning and the way round to the north
    for rx, ry in ((150, 94), (156, 98), (162, 93), (145, 99), (158, 90), (152, 102)):
        c.poly([(rx - 3, ry + 2), (rx, ry - 3), (rx + 3, ry + 2)], "ink")
    c.ring(154, 96, 13, 14, "red")
    for text, x, y, size in (("鬼の歯", 132, 116, 12), ("嵐の夜は北へ回れ", 118, 48, 11)):
        m = text_mask(text, size, GOTHIC)
        c.stamp(m, x, y, "red")
    north = [(206, 80), (180, 66), (150, 64), (124, 76), (120, 92)]
    for (xa, ya), (xb, yb) in zip(north, north[1:]):
        n = max(abs(xb - xa), abs(yb - ya))
        for i in range(0, n, 6):
            c.set(xa + (xb - xa) * i // n, ya + (yb - ya) * i // n, "dred")
    boat_mark = [(190, 84), (198, 84), (196, 87), (192, 87)]
    c.poly(boat_mark, "navy")
    # compass rose
    cx, cy = 48, 44
    c.ring(cx, cy, 14, 15, "wood2")
    c.poly([(cx, cy - 20), (cx + 4, cy), (cx, cy + 20), (cx - 4, cy)], "dred")
    c.poly([(cx - 20, cy), (cx, cy - 4), (cx + 20, cy), (cx, cy + 4)], "wood2")
    n = text_mask("北", 10)
    c.stamp(n, cx - len(n[0]) // 2, cy - 33, "ink")
    for text, x, y, size in (("汐見島", 58, 118, 14), ("東の島", 244, 50, 12), ("灯台", 124, 82, 10),
                             ("はやて丸の航路", 178, 100, 10), ("海　図", 250, 10, 16)):
        m = text_mask(text, size)
        c.stamp(m, x, y, "ink")
    return c


def diagram():
    """The drawing on the watch room's wall, shown in the picture window: the lens over the board,
    five rings of the puzzle's colours each with its plate, and the handle that moves them all."""
    rnd = random.Random(9)
    c = Canvas(320, 200, "paper")
    for _ in range(700):
        c.set(rnd.randrange(320), rnd.randrange(200), "paper2")
    for edge in ((0, 0, 320, 3), (0, 197, 320, 200), (0, 0, 3, 200), (317, 0, 320, 200)):
        c.rect(*edge, "wood2")
    # the lens, drawn in section
    for r in (40, 32, 24, 16):
        c.ring(160, 50, r - 1, r, "wood2")
    c.rect(118, 49, 202, 51, "wood2")
    c.rect(157, 90, 163, 108, "wood2")
    # the board: five rings, each over its plate, in the colours of the lamp room's rings
    c.rect(60, 108, 260, 176, "wood2")
    c.rect(62, 110, 258, 174, "paper")
    colours = ["blue", "purple", "green", "yellow", "brown"]
    for i, col in enumerate(colours):
        x = 86 + i * 37
        c.ring(x, 126, 4, 9, col)
        c.rect(x - 9, 152, x + 10, 168, "paper2")
        c.ring(x, 160, 3, 6, col)
        for y in range(138, 148, 2):  # the way down to the plate, dotted
            c.set(x, y, "ink")
    c.rect(270, 120, 274, 176, "grey2")  # the handle
    c.disc(272, 118, 5, "red")
    for text, x, y, size in (("光の輪", 18, 14, 16), ("五色の輪を、同じ色の台座へ", 34, 180, 12),
                             ("ハンドル", 246, 96, 10)):
        c.stamp(text_mask(text, size), x, y, "ink")
    return c


SCENES = {
    "title": title, "ie": home, "minato": harbour, "todai": lighthouse_scene,
    "toushitsu": lamp_room, "hikari": ending_light, "takibi": ending_fire, "kaizu": chart,
    "asa": morning, "zu": diagram,
}


def main(argv):
    out = Path(argv[1]) if len(argv) > 1 else ROOT / "game"
    only = argv[2:]
    for name, draw in SCENES.items():
        if only and name not in only:
            continue
        data = gif_bytes(draw().doubled())
        (out / f"{name}.szg").write_bytes(data)
        print(f"{name}.szg: {len(data)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
