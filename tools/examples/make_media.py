#!/usr/bin/env python3
"""Draws the pictures and synthesises the sounds of the example games in examples/.

  python3 tools/examples/make_media.py

Pictures are drawn by ImageMagick's `convert` from a few shapes; sounds are sine tones written as
mono 8-bit WAV files. Nothing random is used, so a run always writes the same files; they are
committed, so the examples play without running this.
"""
import math
import struct
import subprocess
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
MEDIA = ROOT / "examples" / "media"
PUZZLE = ROOT / "examples" / "puzzle"
RATE = 11025


def picture(out, size, fmt, draw):
    """One picture from a background gradient and ImageMagick draw primitives."""
    subprocess.run(["convert", "-size", size, "gradient:#203870-#6090c0", "-strip", *draw,
                    "-colors", "16", "-type", "Palette", f"{fmt}:{out}"], check=True)


def wav(out, notes, seconds_each, volume=0.6):
    """Sine notes (Hz, 0 for a rest) one after the other, each with a short fade in and out."""
    data = bytearray()
    for freq in notes:
        n = int(seconds_each * RATE)
        for i in range(n):
            fade = min(1.0, i / 200, (n - i) / 400)
            v = math.sin(2 * math.pi * freq * i / RATE) * volume * fade if freq else 0.0
            data.append(max(0, min(255, int(128 + 127 * v))))
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE"
    header += b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE, 1, 8)
    out.write_bytes(header + b"data" + struct.pack("<I", len(data)) + data)


def main():
    # The scene (GHG): a harbour at dusk with a lighthouse, 440 x 320 like the scene area; GIF.
    picture(MEDIA / "harbour.szg", "440x320", "GIF", [
        "-fill", "#183050", "-draw", "rectangle 0,220 439,319",
        "-fill", "#d0d0c8", "-draw", "polygon 300,80 330,80 340,220 290,220",
        "-fill", "#c03030", "-draw", "rectangle 296,120 334,140",
        "-fill", "#ffe080", "-draw", "rectangle 305,60 325,80",
        "-fill", "#604020", "-draw", "rectangle 40,200 200,220",
    ])
    # The picture window (GHGD): a small chart, 320 x 200; a Windows bitmap.
    picture(MEDIA / "chart.szg", "320x200", "BMP3", [
        "-fill", "#e8d8b0", "-draw", "rectangle 10,10 309,189",
        "-fill", "#4070c0", "-draw", "ellipse 160,100 120,60 0,360",
        "-fill", "#306030", "-draw", "ellipse 140,95 40,25 0,360",
        "-fill", "#c03030", "-draw", "circle 150,90 154,90",
    ])
    wav(MEDIA / "bell.wav", [880, 660], 0.15)
    wav(MEDIA / "waves.wav", [220, 247, 262, 247], 0.2, volume=0.3)
    # The puzzle's own sounds: stage music, clear, miss and the trap's blink.
    wav(PUZZLE / "A-PUZ1.wav", [392, 440, 494, 440], 0.2, volume=0.3)
    wav(PUZZLE / "A-CLEAR.wav", [523, 659, 784], 0.12)
    wav(PUZZLE / "L-MISS.wav", [330, 262], 0.15)
    wav(PUZZLE / "L-batu.wav", [200], 0.05)


if __name__ == "__main__":
    main()
