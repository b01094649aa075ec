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
ends; a stage whose least number of moves here differs from the table's (vunt-stage's solver, the
game's own rule) is reported. Exit status 1 when a stage cannot be cleared at all, has more than
--limit positions, or disagrees with the table.
"""
import sys
from collections import deque

MOVES = {"L": (-1, 0), "R": (1, 0), "U": (0, -1), "D": (0, 1)}
TRAP = 11
WALL = 16


def load(data, stage):
    """The stage's board (piece cells as floor), its kinds in order and the start position: for
    each kind, the sorted cells (index 12 * row + column) of its pieces, one tuple after another."""
    cells = data[32 + 160 * (stage - 1):32 + 160 * stage - 16]
    if len(cells) < 144:
        raise SystemExit(f"stage {stage}: the file ends before it")
    board = [0 if 1 <= code <= 5 else code for code in cells]
    kinds = sorted({code for code in cells if 1 <= code <= 5})
    counts = [sum(1 for code in cells if code == k) for k in kinds]
    start = tuple(i for k in kinds for i, code in enumerate(cells) if code == k)
    return board, kinds, counts, start


def targets(board):
    """For each key, the cell each cell leads to (the edges wrap), or -1 into a wall."""
    out = []
    for dx, dy in MOVES.values():
        row = []
        for i in range(144):
            t = (i // 12 + dy) % 12 * 12 + (i % 12 + dx) % 12
            row.append(t if board[t] < WALL else -1)
        out.append(row)
    return out


def step(target, counts, pos):
    """The position after one key: a piece moves when the cell ahead is no wall and is free or
    held by a piece that moves itself; a closed ring of pieces round a wrapped row stays. As in
    the game, passes over the pieces until none moves any more."""
    ahead = [target[c] for c in pos]
    occupied = set(pos)
    if all(t < 0 or t not in occupied for t in ahead):
        # no piece stands in another's way: each moves unless a wall is ahead (the common case)
        new = [c if t < 0 else t for c, t in zip(pos, ahead)]
    else:
        new = list(pos)
        pending = list(range(len(pos)))
        while pending:
            rest = []
            for i in pending:
                t = target[new[i]]
                if t < 0:
                    continue
                if t in occupied:
                    rest.append(i)
                    continue
                occupied.discard(new[i])
                occupied.add(t)
                new[i] = t
            if len(rest) == len(pending):
                break
            pending = rest
    if len(counts) == len(pos):  # one piece a kind: nothing to sort
        return tuple(new)
    out, at = [], 0
    for n in counts:
        out.extend(sorted(new[at:at + n]) if n > 1 else new[at:at + 1])
        at += n
    return tuple(out)


def analyse(data, stage, limit):
    board, kinds, counts, start = load(data, stage)
    own = [k + 5 for k, n in zip(kinds, counts) for _ in range(n)]
    table = targets(board)

    def outcome(pos):
        if any(board[c] == TRAP for c in pos):
            return "trap"
        if all(board[c] == g for c, g in zip(pos, own)):
            return "clear"
        return None
    depth = {start: 0}
    parents = {start: []}
    ends = {start: outcome(start)}
    queue = deque([start])
    best = None
    while queue:
        pos = queue.popleft()
        if ends[pos]:
            if ends[pos] == "clear" and best is None:
                best = depth[pos]
            continue
        for target in table:
            nxt = step(target, counts, pos)
            if nxt not in depth:
                if len(depth) >= limit:
                    return {"stage": stage, "positions": None}
                depth[nxt] = depth[pos] + 1
                parents[nxt] = []
                ends[nxt] = outcome(nxt)
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
            "pieces": len(start), "kinds": len(kinds)}


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
            if r and r["moves"] is not None and cells[5].strip() != str(r["moves"]):
                # two implementations of the move rule disagree: the table would mislead
                print(f"stage {r['stage']}: {r['moves']} moves here, {cells[5].strip()} in the table",
                      file=sys.stderr)
                failed = 1
            if r and r["positions"] is not None:
                share = 100.0 * r["dead"] / r["positions"]
                line += f" {r['positions']} | {r['dead']} ({share:.0f} %) |"
            else:
                line += " - | - |"
        print(line)
    return failed


if __name__ == "__main__":
    sys.exit(main(sys.argv))
