#!/usr/bin/env python3
"""Rebuilds the seed corpora fuzz/corpus/<target>/ from the tests.

Usage: fuzz/seed_corpora.py BUILD FUZZ_BUILD
  BUILD       the normal build (its vunt_tests writes every game it plays when VUNT_FUZZ_SEEDS is set)
  FUZZ_BUILD  the fuzz build; each corpus is reduced to the inputs that add coverage (-merge=1)

The script fuzzer's seeds are the games the tests play; the linter's are their scripts and stage
files. The other targets take the pieces of those
games that they read: IF/EVA expressions, MES texts, CMST menu texts, save files, stage files
(with a fixed series of moves or keys); pictures are small files of each format made with
ImageMagick, and the pictures the tests use; sounds are small wave files of each encoding. Seeds named hand-* are written by hand and kept.
"""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def fields(line):
    return line.split(",")


def put(directory, data):
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, hashlib.sha1(data).hexdigest()[:16]), "wb") as f:
        f.write(data)


def wave(tag, channels, rate, bits, data, extensible=False):
    """A RIFF WAVE file of these samples (bytes) in this encoding."""
    import struct
    block = max(1, channels * bits // 8)
    fmt = struct.pack("<HHIIHH", 0xFFFE if extensible else tag, channels, rate, rate * block, block, bits)
    if extensible:
        fmt += struct.pack("<HHIH", 22, bits, 3, tag) + bytes.fromhex("000000001000800000aa00389b71")
    body = b"WAVEfmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def sound_seeds(directory):
    """Small wave files of each encoding SDL's wave reader decodes, and a few that the check refuses."""
    ramp = bytes(range(0, 256, 8))
    put(directory, wave(1, 1, 8000, 8, ramp))
    put(directory, wave(1, 2, 44100, 16, ramp * 2))
    put(directory, wave(1, 1, 22050, 24, ramp * 3))
    put(directory, wave(1, 2, 48000, 32, ramp * 4))
    put(directory, wave(3, 1, 44100, 32, bytes(64), extensible=True))
    put(directory, wave(6, 1, 8000, 8, ramp))
    put(directory, wave(7, 2, 8000, 8, ramp))
    put(directory, wave(2, 1, 11025, 4, bytes(256)))
    put(directory, wave(0x11, 1, 11025, 4, bytes(256)))
    put(directory, wave(1, 1, 1000, 8, ramp))  # a rate the check refuses


def main():
    build, fuzz_build = sys.argv[1], sys.argv[2]
    raw = tempfile.mkdtemp(prefix="vunt-seeds-")
    try:
        games = os.path.join(raw, "script")
        os.makedirs(games)
        env = dict(os.environ, VUNT_FUZZ_SEEDS=games)
        subprocess.run([os.path.join(build, "vunt_tests")], env=env, stdout=subprocess.DEVNULL, check=False)

        # The bundled game played as its playthrough tests play it.
        game = os.path.join(ROOT, "game")
        script = open(os.path.join(game, "vunt-n.zad"), "rb").read()
        stage_file = open(os.path.join(game, "vunt.pdt"), "rb").read()
        plays = os.path.join(ROOT, "tests", "data", "game")
        for name in sorted(os.listdir(plays)):
            if name.endswith(".txt"):
                put(games, script + b"\0" + open(os.path.join(plays, name), "rb").read() + b"\0\0" + stage_file)

        flags = bytes([5, 0, 1, 0, 0, 0, 1, 0] + [0] * 54)  # F0 = 5, F1 = 1, F3 = 1
        moves = bytes([2, 0, 1, 3] * 4)
        keys = bytes([2, 3, 0, 1, 9, 10, 4, 5, 6, 7, 8, 9, 11, 10, 2, 3])  # arrows, keypad, Esc, Space, click
        for name in os.listdir(games):
            if os.path.getsize(os.path.join(games, name)) > 65536:
                os.remove(os.path.join(games, name))  # the seeds stay small
                continue
            parts = open(os.path.join(games, name), "rb").read().split(b"\0", 3)
            put(os.path.join(raw, "lint"), parts[0] + (b"\0" + parts[3] if len(parts) > 3 else b""))
            if len(parts) > 2 and parts[2]:
                put(os.path.join(raw, "save_file"), parts[2])
            if len(parts) > 3 and parts[3]:
                stages = max(1, (len(parts[3]) - 32 + 16) // 160)
                for first in range(1, min(stages, 3) + 1):
                    put(os.path.join(raw, "stage"), bytes([first]) + moves + parts[3])
                    put(os.path.join(raw, "puzzle"), bytes([first - 1, stages - first, 3, len(keys)]) + keys + parts[3])
            script = parts[0].decode("utf-8", "replace").replace("\r\n", "\n").split("\n")
            for line in script:
                f = fields(line)
                if f[0] in ("IF", "EVA") and len(f) > 1:
                    put(os.path.join(raw, "expression"), f[1].encode() + b"\0" + flags)
                elif f[0] in ("MES", "ITMS") and len(f) > 2 - (f[0] == "MES"):
                    text = f[1] if f[0] == "MES" else f[2]
                    put(os.path.join(raw, "message_codes"), b" \x03\x00\x00" + text.encode())
                    put(os.path.join(raw, "message_codes"), b" \x03\x02\x01" + text.encode())
                elif f[0] == "CMST" and len(f) > 2 and f[1].isdigit():
                    put(os.path.join(raw, "menu_text"), bytes([int(f[1]) % 12 + 2]) + f[2].encode())

        pictures = os.path.join(raw, "picture")
        os.makedirs(pictures)
        for folder in (os.path.join(ROOT, "tests", "data"), game):
            for name in os.listdir(folder):
                if name.endswith(".szg"):
                    shutil.copy(os.path.join(folder, name), pictures)
        for fmt in ["bmp", "bmp3", "bmp2", "gif", "jpg", "png", "ico", "pcx", "tga", "xpm"]:
            subprocess.run(["convert", "-size", "6x4", "gradient:red-blue", f"{fmt}:" + os.path.join(pictures, fmt)],
                           check=False, stderr=subprocess.DEVNULL)
        subprocess.run(["convert", "-size", "5x3", "xc:yellow", "-colors", "2", "-type", "Palette",
                        "bmp3:" + os.path.join(pictures, "bmp-palette")], check=False, stderr=subprocess.DEVNULL)
        put(pictures, b"\xd7\xcd\xc6\x9a" + bytes(40))  # a placeable metafile's header
        sound_seeds(os.path.join(raw, "sound"))

        for target in sorted(os.listdir(raw)):
            out = os.path.join(ROOT, "fuzz", "corpus", target)
            # Seeds written by hand (hand-*) stay; the rest is made afresh.
            for name in os.listdir(out) if os.path.isdir(out) else []:
                if not name.startswith("hand-"):
                    os.remove(os.path.join(out, name))
            os.makedirs(out, exist_ok=True)
            if target in ("picture", "sound"):
                # The decoders are the system's and not instrumented: coverage cannot tell the
                # formats apart, so every format is kept.
                for name in os.listdir(os.path.join(raw, target)):
                    shutil.copy(os.path.join(raw, target, name), out)
                print(target, len(os.listdir(out)), "seeds")
                continue
            binary = os.path.join(fuzz_build, "fuzz_" + target)
            subprocess.run([binary, "-merge=1", "-close_fd_mask=3", out, os.path.join(raw, target)],
                           check=True, stderr=subprocess.DEVNULL, env=dict(os.environ, ASAN_OPTIONS="detect_leaks=0"))
            print(target, len(os.listdir(out)), "seeds")
    finally:
        shutil.rmtree(raw, ignore_errors=True)


if __name__ == "__main__":
    main()
