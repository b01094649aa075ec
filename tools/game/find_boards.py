#!/usr/bin/env python3
"""Searches random rooms for boards of a wanted size, to draw the lamp room's boards from.

  python3 tools/game/find_boards.py BUILD_DIR SEED KINDS PIECES MIN_MOVES MAX_MOVES [TRAPS] [COUNT]
                                    [MIN_POSITIONS MAX_POSITIONS [MAX_DEAD_PERCENT]]

Each candidate is a room of 6 to 9 by 5 to 8 cells inside blue walls, with a few yellow stones,
sometimes a row or a column open to the board's edges, TRAPS traps, PIECES rings of KINDS kinds
(round robin) and a plate for each ring. Candidates are packed and solved by vunt-stage in
batches; those whose least number of moves lies in MIN_MOVES..MAX_MOVES, whose reachable
positions (stage_stats.py) lie in MIN_POSITIONS..MAX_POSITIONS and whose dead positions are at
most MAX_DEAD_PERCENT of them (default none) are printed as stage text with their figures, COUNT
of them (default 5). The output is material for
stages.txt, which stays the source of the game's boards: the search is not part of the build.
"""
import random
import re
import subprocess
import sys
import tempfile

import stage_stats


def room(rnd, kinds, pieces, traps):
    grid = [["=" for _ in range(12)] for _ in range(12)]
    w, h = rnd.randint(5, 8), rnd.randint(4, 7)
    x0, y0 = rnd.randint(1, 11 - w), rnd.randint(1, 11 - h)
    cells = [(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w)]
    for x, y in cells:
        grid[y][x] = "."
    tunnel = rnd.random()
    if tunnel < 0.3:
        row = rnd.randint(y0, y0 + h - 1)
        for x in range(12):
            grid[row][x] = "."
    elif tunnel < 0.6:
        col = rnd.randint(x0, x0 + w - 1)
        for y in range(12):
            grid[y][col] = "."
    free = [c for c in cells]
    rnd.shuffle(free)
    for _ in range(rnd.randint(2, 2 + w * h // 8)):
        x, y = free.pop()
        grid[y][x] = "#"
    for _ in range(traps):
        x, y = free.pop()
        grid[y][x] = "x"
    for i in range(pieces):
        k = i % kinds
        x, y = free.pop()
        grid[y][x] = str(k + 1)
        x, y = free.pop()
        grid[y][x] = "abcde"[k]
    return "\n".join("".join(r) for r in grid)


def main(argv):
    if len(argv) < 7:
        print(__doc__, file=sys.stderr)
        return 2
    build, seed, kinds, pieces, lo, hi = argv[1], int(argv[2]), int(argv[3]), int(argv[4]), int(argv[5]), int(argv[6])
    traps = int(argv[7]) if len(argv) > 7 else 0
    count = int(argv[8]) if len(argv) > 8 else 5
    pmin, pmax = (int(argv[9]), int(argv[10])) if len(argv) > 10 else (0, 10 ** 9)
    dead_share = float(argv[11]) / 100 if len(argv) > 11 else 0.0
    rnd = random.Random(seed)
    found = 0
    with tempfile.TemporaryDirectory() as tmp:
        while found < count:
            boards = [room(rnd, kinds, pieces, traps) for _ in range(200)]
            with open(f"{tmp}/s.txt", "w") as f:
                for i, b in enumerate(boards, 1):
                    f.write(f"stage {i}\n{b}\n\n")
            subprocess.run([f"{build}/vunt-stage", "pack", f"{tmp}/s.txt", f"{tmp}/s.pdt"], check=True,
                           capture_output=True)
            run = subprocess.run([f"{build}/vunt-stage", "solve", "--max-states", "400000", f"{tmp}/s.pdt", "1-200"],
                                 capture_output=True, text=True)
            for m in re.finditer(r"^stage (\d+): (\d+) moves: \S+ \((\d+) states", run.stdout, re.M):
                stage, moves, states = int(m.group(1)), int(m.group(2)), int(m.group(3))
                if lo <= moves <= hi and found < count:
                    data = open(f"{tmp}/s.pdt", "rb").read()
                    r = stage_stats.analyse(data, stage, pmax + 1)
                    if r["positions"] is None or not pmin <= r["positions"] <= pmax:
                        continue
                    if r["dead"] > dead_share * r["positions"]:
                        continue
                    found += 1
                    print(f"; {moves} moves, {r['positions']} positions, {r['dead']} dead\n{boards[stage - 1]}\n",
                          flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
