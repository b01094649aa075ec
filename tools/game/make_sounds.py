#!/usr/bin/env python3
"""Synthesises the bundled game's sounds and writes them as mono 8-bit WAV files.

  python3 tools/game/make_sounds.py [OUTPUT_DIR]     (default: game/)

Music loops are written at 11025 Hz and effects at 22050 Hz, to keep the game small. Every sound
is made here from oscillators, noise with a fixed seed and envelopes, so a run always writes the
same files. Loops are whole bars long and every note ends inside the loop, so they repeat without
a click.
"""
import math
import random
import struct
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
MUSIC_RATE = 11025
EFFECT_RATE = 22050
# Loudness targets: the RMS level of a sound's loudest tenth of a second. Effects and music sit
# together; the wind stays under the story as a background.
EFFECT_LOUDNESS = 0.24
MUSIC_LOUDNESS = 0.22
WIND_LOUDNESS = 0.15


class Track:
    def __init__(self, seconds, rate):
        self.rate = rate
        self.buf = [0.0] * int(seconds * rate)

    def add(self, start, samples):
        i0 = int(start * self.rate)
        for i, v in enumerate(samples):
            if 0 <= i0 + i < len(self.buf):
                self.buf[i0 + i] += v

    def wav(self, loudness=EFFECT_LOUDNESS):
        """The track as 8-bit WAV, scaled so that its loudest tenth of a second has the given RMS
        level: sounds of every kind then play about equally loud, whatever their peaks. Peaks the
        scaling pushes past 0.8 are rounded off below full scale instead of clipping."""
        window = max(1, int(0.1 * self.rate))
        loudest = 1e-9
        for start in range(0, max(1, len(self.buf) - window + 1), window // 2):
            part = self.buf[start:start + window]
            loudest = max(loudest, math.sqrt(sum(v * v for v in part) / len(part)))
        scale = loudness / loudest

        def limit(v):
            v *= scale
            if abs(v) <= 0.8:
                return v
            return math.copysign(0.8 + 0.19 * math.tanh((abs(v) - 0.8) / 0.19), v)
        data = bytes(max(0, min(255, int(round(128 + 127 * limit(v))))) for v in self.buf)
        header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE"
        header += b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, self.rate, self.rate, 1, 8)
        return header + b"data" + struct.pack("<I", len(data)) + data


def freq(note):
    """A note name such as C4, F#3 or Bb5 as its frequency."""
    names = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}
    n = names[note[0]]
    rest = note[1:]
    if rest[0] == "#":
        n, rest = n + 1, rest[1:]
    elif rest[0] == "b":
        n, rest = n - 1, rest[1:]
    return 440.0 * 2 ** ((n + 12 * (int(rest) - 4)) / 12)


def tone(rate, f, seconds, wave="tri", attack=0.01, release=0.08, vol=0.5, vibrato=0.0):
    n = int(seconds * rate)
    out, phase = [], 0.0
    for i in range(n):
        t = i / rate
        ff = f * (1 + vibrato * math.sin(2 * math.pi * 5.5 * t))
        phase = (phase + ff / rate) % 1.0
        if wave == "tri":
            v = 4 * abs(phase - 0.5) - 1
        elif wave == "square":
            v = 0.6 if phase < 0.5 else -0.6
        elif wave == "pulse":
            v = 0.5 if phase < 0.25 else -0.5
        else:
            v = math.sin(2 * math.pi * phase)
        env = min(1.0, t / attack) if attack > 0 else 1.0
        if t > seconds - release:
            env *= max(0.0, (seconds - t) / release)
        out.append(v * env * vol)
    return out


def noise(rate, seconds, seed, vol=0.5, smooth=0.0, env=None):
    """White noise, low-passed by `smooth` (0 none .. 0.99 heavy), shaped by env(t)."""
    rnd = random.Random(seed)
    out, last = [], 0.0
    n = int(seconds * rate)
    for i in range(n):
        last = last * smooth + rnd.uniform(-1, 1) * (1 - smooth)
        out.append(last * vol * (env(i / rate) if env else 1.0))
    return out


def melody(track, notes, beat, wave, vol, start=0.0, legato=0.9):
    """Notes as (name or None for a rest, beats)."""
    t = start
    for name, beats in notes:
        if name:
            track.add(t, tone(track.rate, freq(name), beats * beat * legato, wave, vol=vol,
                              release=min(0.12, beats * beat * 0.4)))
        t += beats * beat


def seq(text):
    """'E5:1 G5:.5 -:1' as a note list; '-' is a rest."""
    out = []
    for item in text.split():
        name, beats = item.split(":")
        out.append((None if name == "-" else name, float(beats)))
    return out


# ---------------------------------------------------------------- music loops

def title():
    beat = 0.4
    t = Track(16 * beat, MUSIC_RATE)
    melody(t, seq("A4:1 C5:1 D5:1 E5:1.5 D5:.5 C5:1 D5:1 A4:2 G4:1 A4:1 C5:1 D5:1 E5:2"), beat, "tri", 0.45)
    melody(t, seq("A2:2 A2:2 F2:2 F2:2 C3:2 C3:2 G2:2 E2:2"), beat, "sine", 0.5)
    return t.wav(MUSIC_LOUDNESS)


def ending():
    beat = 0.4
    t = Track(16 * beat, MUSIC_RATE)
    melody(t, seq("C5:1 E5:1 G5:1.5 E5:.5 F5:1 A5:1 G5:2 E5:1 D5:1 C5:1 D5:1 E5:2 C5:2"), beat, "tri", 0.45)
    melody(t, seq("C3:2 G2:2 F2:2 C3:2 A2:2 G2:2 F2:2 G2:2"), beat, "sine", 0.5)
    melody(t, seq("E4:2 D4:2 C4:2 E4:2 C4:2 B3:2 A3:2 B3:2"), beat, "sine", 0.2)
    return t.wav(MUSIC_LOUDNESS)


def dawn():
    beat = 0.6
    t = Track(8 * beat, MUSIC_RATE)
    for start, chord in ((0, ("A3", "C4", "E4")), (2, ("F3", "A3", "C4")), (4, ("D3", "F3", "A3")),
                         (6, ("E3", "G#3", "B3"))):
        for name in chord:
            t.add(start * beat, tone(MUSIC_RATE, freq(name), 2 * beat * 0.95, "sine", attack=0.3,
                                     release=0.4, vol=0.3))
    melody(t, seq("E5:3 C5:1 D5:2 B4:2"), beat, "sine", 0.25)
    return t.wav(MUSIC_LOUDNESS)


def wind():
    seconds = 3.0
    t = Track(seconds, MUSIC_RATE)
    # two swells a loop, the second a little weaker: whole periods, so the loop joins smoothly
    t.add(0, noise(MUSIC_RATE, seconds, 11, vol=0.7, smooth=0.93,
                   env=lambda x: 0.45 + 0.35 * math.sin(2 * math.pi * x / 1.5) ** 2
                   + 0.2 * math.sin(2 * math.pi * x / 3.0) ** 2))
    return t.wav(WIND_LOUDNESS)


def puzzle(beat, bars, lead, bass, seed_wave):
    t = Track(bars * 4 * beat, MUSIC_RATE)
    melody(t, seq(lead), beat, seed_wave, 0.35, legato=0.7)
    melody(t, seq(bass), beat, "tri", 0.45, legato=0.6)
    for i in range(bars * 4):  # soft ticks on the beat
        t.add(i * beat, noise(MUSIC_RATE, 0.03, 100 + i, vol=0.25 if i % 2 else 0.4, smooth=0.2))
    return t.wav(MUSIC_LOUDNESS)


def puzzle1():
    return puzzle(0.25, 4,
                  "E5:1 G5:1 A5:1 G5:1 E5:1 D5:1 C5:2 D5:1 E5:1 G5:1 E5:1 D5:2 -:2 "
                  "E5:1 G5:1 A5:1 C6:1 B5:1 A5:1 G5:2 A5:1 G5:1 E5:1 D5:1 C5:2 -:2",
                  "C3:2 G2:2 C3:2 G2:2 A2:2 E2:2 G2:2 G2:2 F2:2 C3:2 F2:2 C3:2 G2:2 D3:2 C3:2 C3:2",
                  "pulse")


def puzzle2():
    return puzzle(0.22, 2,
                  "A4:1 C5:1 E5:1 A5:1 G5:1 E5:1 C5:1 E5:1 F5:1 A5:1 G5:1 E5:1 D5:2 E5:2",
                  "A2:2 E3:2 A2:2 E3:2 F2:2 C3:2 G2:2 E2:2", "square")


# ---------------------------------------------------------------- effects

def chime():
    t = Track(0.7, EFFECT_RATE)
    for i, name in enumerate(("E6", "B6")):
        t.add(i * 0.12, tone(EFFECT_RATE, freq(name), 0.55, "sine", attack=0.003, release=0.5, vol=0.5))
    return t.wav()


def radio():
    t = Track(0.8, EFFECT_RATE)
    t.add(0, noise(EFFECT_RATE, 0.8, 21, vol=0.5, smooth=0.3,
                   env=lambda x: (0.6 + 0.4 * math.sin(2 * math.pi * 7 * x) ** 2) * min(1, (0.8 - x) * 8)))
    rnd = random.Random(22)
    for _ in range(12):
        t.add(rnd.uniform(0, 0.75), noise(EFFECT_RATE, 0.01, rnd.randrange(1000), vol=0.9))
    t.add(0.1, tone(EFFECT_RATE, 1200, 0.5, "sine", attack=0.05, release=0.2, vol=0.08, vibrato=0.05))
    return t.wav()


def door():
    t = Track(0.6, EFFECT_RATE)
    t.add(0, noise(EFFECT_RATE, 0.04, 31, vol=0.8, smooth=0.5, env=lambda x: 1 - x / 0.04))
    creak = []
    for i in range(int(0.45 * EFFECT_RATE)):
        x = i / EFFECT_RATE
        f = 180 + 90 * math.sin(2 * math.pi * 3 * x)
        creak.append((1 if (i * f / EFFECT_RATE) % 1 < 0.15 else -0.15) * 0.3 * min(1, (0.45 - x) * 6))
    t.add(0.12, creak)
    return t.wav()


def steps():
    t = Track(0.45, EFFECT_RATE)
    for i in range(2):
        t.add(i * 0.22, noise(EFFECT_RATE, 0.09, 41 + i, vol=0.9, smooth=0.85,
                              env=lambda x: math.exp(-x * 40)))
    return t.wav()


def thunder():
    t = Track(1.4, EFFECT_RATE)
    t.add(0, noise(EFFECT_RATE, 0.12, 51, vol=0.9, smooth=0.2, env=lambda x: math.exp(-x * 20)))
    t.add(0.03, noise(EFFECT_RATE, 1.35, 52, vol=1.0, smooth=0.97,
                      env=lambda x: math.exp(-x * 2.5) * (0.7 + 0.3 * math.sin(2 * math.pi * 4 * x) ** 2)))
    return t.wav()


def meow():
    t = Track(0.55, EFFECT_RATE)
    out, phase = [], 0.0
    n = int(0.5 * EFFECT_RATE)
    for i in range(n):
        x = i / n
        f = 520 + 380 * math.sin(math.pi * min(1, x * 1.3)) - 120 * x
        phase = (phase + f / EFFECT_RATE) % 1
        v = math.sin(2 * math.pi * phase) + 0.5 * math.sin(4 * math.pi * phase) + 0.25 * math.sin(6 * math.pi * phase)
        out.append(v * 0.35 * min(1, x * 12) * min(1, (1 - x) * 5))
    t.add(0, out)
    return t.wav()


def machine():
    t = Track(1.3, EFFECT_RATE)
    t.add(0, noise(EFFECT_RATE, 1.3, 61, vol=0.6, smooth=0.96,
                   env=lambda x: min(1, x * 4) * min(1, (1.3 - x) * 4)))
    t.add(0, tone(EFFECT_RATE, 55, 1.3, "square", attack=0.2, release=0.3, vol=0.25))
    for i in range(4):
        t.add(0.15 + i * 0.28, noise(EFFECT_RATE, 0.05, 62 + i, vol=0.9, smooth=0.6,
                                     env=lambda x: math.exp(-x * 60)))
    return t.wav()


def clear():
    t = Track(0.9, EFFECT_RATE)
    for i, name in enumerate(("C5", "E5", "G5", "C6")):
        t.add(i * 0.09, tone(EFFECT_RATE, freq(name), 0.9 - i * 0.09, "pulse", attack=0.005,
                             release=0.3, vol=0.3))
    return t.wav()


def miss():
    t = Track(0.6, EFFECT_RATE)
    out, phase = [], 0.0
    n = int(0.55 * EFFECT_RATE)
    for i in range(n):
        x = i / n
        phase = (phase + (330 - 200 * x) / EFFECT_RATE) % 1
        out.append((0.5 if phase < 0.5 else -0.5) * 0.5 * min(1, (1 - x) * 4))
    t.add(0, out)
    return t.wav()


def batu():
    """The trap: the puzzle plays it six times, once per phase of a trapped piece's blink, so its
    length sets the blink's pace: 0.17 s a phase, about one second for the three blinks."""
    t = Track(0.17, EFFECT_RATE)
    t.add(0, tone(EFFECT_RATE, 190, 0.08, "square", attack=0.002, release=0.02, vol=0.6))
    t.add(0.08, tone(EFFECT_RATE, 150, 0.085, "square", attack=0.002, release=0.03, vol=0.6))
    return t.wav()


SOUNDS = {
    "title": title, "ending": ending, "yoake": dawn, "kaze": wind, "A-PUZ1": puzzle1, "A-PUZ2": puzzle2,
    "chime": chime, "radio": radio, "door": door, "asioto": steps, "kaminari": thunder, "neko": meow,
    "kikai": machine, "A-CLEAR": clear, "L-MISS": miss, "L-batu": batu,
}


def main(argv):
    out = Path(argv[1]) if len(argv) > 1 else ROOT / "game"
    only = argv[2:]
    total = 0
    for name, make in SOUNDS.items():
        if only and name not in only:
            continue
        data = make()
        (out / f"{name}.wav").write_bytes(data)
        total += len(data)
        print(f"{name}.wav: {len(data)} bytes")
    print(f"all: {total} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
