#!/usr/bin/env python3
"""Every position a player can reach on each stage of a stage file, and how many of them are dead.

  python3 tools/game/stage_stats.py STAGE_FILE [STAGE ...]          one line of figures a stage
  python3 tools/game/stage_stats.py --table STAGE_FILE < TABLE       TABLE with two more columns

The search starts from the stage as loaded and tries the four keys from every position, with the
game's move rule: all pieces move one cell at once, the edges wrap, a wall stops a piece and a
piece stops the one behind it unless that one moves away. A position with a piece on a trap ends
the attempt and a cleared position ends the stage; neither is searched further. Pieces of one
kind are interchangeable, as in vunt-stage's solver.

- positions: the positions reached, the start, failed and cleared ones included;
- dead: positions, neither failed nor cleared, from which no key sequence clears the stage: a
  player there can only give the attempt up (Esc). A teaching board should have none;
- moves: the least number of keys that clears the stage (vunt-stage's solver says the same).
--table reads the Markdown table of `vunt-stage table` and adds the columns Positions and Dead
ends. Exit status 1 when a stage cannot be cleared at all or has more than --limit positions.
"""
import sys
from collections import deque

MOVES = {"L": (-1, 0), "R": (1, 0), "U": (0, -1), "D": (0, 1)}
TRAP = 11
WALL = 16


def load(data, stage):
    cells = data[32 + 160 * (stage - 1):32 + 160 * stage - 16]
    if len(cells) < 144:
        raise SystemExit(f"stage {stage}: the file ends before it")
    pieces = [(code, i % 12, i // 12) for i, code in enumerate(cells) if 1 <= code <= 5]
    board = [0 if 1 <= code <= 5 else code for code in cells]
    kinds = sorted({k for k, _, _ in pieces})
    groups = tuple(tuple(sorted((x, y) for k2, x, y in pieces if k2 == k)) for k in kinds)
    return board, kinds, groups


def step(board, groups, dx, dy):
    """The position after one key: a piece moves when the cell ahead is no wall and is free or
    held by a piece that moves itself; a closed ring of pieces round a wrapped row stays."""
    where = {}
    for g, cells in enumerate(groups):
        for c in cells:
            where[c] = g
    moving = {}

    def moves(cell):
        if cell in moving:
            return moving[cell] is True
        moving[cell] = None  # on the way: a chain that comes back to itself stays
        tx, ty = (cell[0] + dx) % 12, (cell[1] + dy) % 12
        ok = board[ty * 12 + tx] < WALL and ((tx, ty) not in where or moves((tx, ty)))
        moving[cell] = ok
        return ok

    out = [[] for _ in groups]
    for cell, g in where.items():
        if moves(cell):
            out[g].append(((cell[0] + dx) % 12, (cell[1] + dy) % 12))
        else:
            out[g].append(cell)
    return tuple(tuple(sorted(cells)) for cells in out)


def outcome(board, kinds, groups):
    """'trap', 'clear' or None for a position."""
    if any(board[y * 12 + x] == TRAP for cells in groups for x, y in cells):
        return "trap"
    if all(board[y * 12 + x] == k + 5 for k, cells in zip(kinds, groups) for x, y in cells):
        return "clear"
    return None


def analyse(data, stage, limit):
    board, kinds, start = load(data, stage)
    depth = {start: 0}
    parents = {start: []}
    ends = {start: outcome(board, kinds, start)}
    queue = deque([start])
    best = None
    while queue:
        pos = queue.popleft()
        if ends[pos]:
            if ends[pos] == "clear" and best is None:
                best = depth[pos]
            continue
        for dx, dy in MOVES.values():
            nxt = step(board, pos, dx, dy)
            if nxt not in depth:
                if len(depth) >= limit:
                    return {"stage": stage, "positions": None}
                depth[nxt] = depth[pos] + 1
                parents[nxt] = []
                ends[nxt] = outcome(board, kinds, nxt)
                queue.append(nxt)
            parents[nxt].append(pos)
    # Backwards from every cleared position: what can still be cleared.
    alive = {p for p, e in ends.items() if e == "clear"}
    queue = deque(alive)
    while queue:
        for prev in parents[queue.popleft()]:
            if prev not in alive:
                alive.add(prev)
                queue.append(prev)
    dead = sum(1 for p, e in ends.items() if e is None and p not in alive)
    return {"stage": stage, "positions": len(depth), "dead": dead, "moves": best,
            "pieces": sum(len(g) for g in start), "kinds": len(kinds)}


def main(argv):
    limit = 3_000_000
    args = argv[1:]
    if "--limit" in args:
        i = args.index("--limit")
        limit = int(args[i + 1])
        del args[i:i + 2]
    table = "--table" in args
    if table:
        args.remove("--table")
    if not args:
        print(__doc__, file=sys.stderr)
        return 2
    data = open(args[0], "rb").read()
    stages = [int(a) for a in args[1:]] or range(1, (len(data) - 32 + 16) // 160 + 1)
    failed = 0
    results = {}
    for s in stages:
        r = analyse(data, s, limit)
        results[s] = r
        if r["positions"] is None or r["moves"] is None:
            failed = 1
    if not table:
        for r in results.values():
            if r["positions"] is None:
                print(f"stage {r['stage']}: more than {limit} positions")
            else:
                print(f"stage {r['stage']}: {r['pieces']} pieces of {r['kinds']} kinds, "
                      f"{r['positions']} positions, {r['dead']} dead, {r['moves']} moves")
        return failed
    for line in sys.stdin:
        line = line.rstrip("\n")
        cells = line.split("|")
        if line.startswith("| Stage"):
            line += " Positions | Dead ends |"
        elif line.startswith("|---"):
            line += "---:|---:|"
        elif line.startswith("|") and cells[1].strip().isdigit():
            r = results.get(int(cells[1]))
            if r and r["positions"] is not None:
                share = 100.0 * r["dead"] / r["positions"]
                line += f" {r['positions']} | {r['dead']} ({share:.0f} %) |"
            else:
                line += " - | - |"
        print(line)
    return failed


if __name__ == "__main__":
    sys.exit(main(sys.argv))
