#!/usr/bin/env python3
"""Turns a walkthrough plan into a headless input file for the bundled game.

  python3 tools/game/walkthrough.py VUNT GAME_DIR PLAN > INPUT

The plan names only the player's decisions, one a line:
  menu CAPTION      choose the menu entry with this caption at the next menu
  moves KEYS        puzzle keys at the next board wait: L R U D, and E for Esc
  solve N           the keys of stage N as vunt-stage (beside VUNT) solves it; the input file
                    keeps the line "solve N", which tools/game/expand_input.sh turns into the
                    solver's keys when the input is played, so new stages need no new inputs
  trap N            the fewest keys that leave a piece of stage N on a trap
  close             close the window at the next wait
  event EVENT       this headless input event at the next wait, as it is (rclick, label 2, ...)
  # text            copied into the input file as a comment
Everything else the game waits for (message pages, the picture window, the puzzle's status words)
is answered with a click. The game is replayed headless after every event to see what it waits
for next, so the input file always matches the script as it is.
"""
import os
import re
from collections import deque
import subprocess
import sys
import tempfile

KEYS = {"L": "left", "R": "right", "U": "up", "D": "down", "E": "esc"}


def replay(vunt, game, events):
    with tempfile.NamedTemporaryFile("w", suffix=".txt", encoding="utf-8") as f:
        f.write("".join(e + "\n" for e in events))
        f.flush()
        run = subprocess.run([vunt, "--headless", "--input", f.name, game], capture_output=True,
                             text=True, encoding="utf-8")
    return run.returncode, run.stdout.splitlines()


def waiting_for(lines):
    """What the game waits for once the input ran out: the last line that shows a wait."""
    for line in reversed(lines):
        kind = line.split("\t")[0]
        if kind in ("page", "picture-window"):
            return "click", line
        if kind == "menu":
            return "menu", line
        if kind == "stage":
            return "board", line
    return "unknown", ""


def solved(vunt, game, step):
    """A "solve N" step as the moves of the stage solver's solution."""
    stage = step.split()[1]
    tool = os.path.join(os.path.dirname(vunt), "vunt-stage")
    run = subprocess.run([tool, "solve", os.path.join(game, "vunt.pdt"), stage], capture_output=True,
                         text=True, check=True)
    found = re.search(r"^stage \d+: \d+ moves: ([LRUD]+)", run.stdout, re.M)
    if not found:
        raise SystemExit(f"no solution for stage {stage}: {run.stdout}")
    return "moves " + found.group(1) + " #" + step


def step(board, pieces, dx, dy):
    """One move of every piece by the game's rule: pieces in number order, in passes; a wall stops
    a piece, a piece stops the one behind it until it has moved away itself; the edges wrap."""
    pos = list(pieces)
    occupied = set(pos)
    done = [False] * len(pos)
    for _ in range(len(pos)):
        for i, (x, y) in enumerate(pos):
            if done[i]:
                continue
            tx, ty = (x + dx) % 12, (y + dy) % 12
            if board[ty * 12 + tx] >= 16:
                done[i] = True
            elif (tx, ty) not in occupied:
                occupied.discard((x, y))
                occupied.add((tx, ty))
                pos[i] = (tx, ty)
                done[i] = True
        if all(done):
            break
    return tuple(pos)


def trapped(game, step_text):
    """A "trap N" step as the fewest moves after which a piece of stage N stands on a trap (11),
    found breadth-first without passing through a cleared position."""
    stage = int(step_text.split()[1])
    data = open(os.path.join(game, "vunt.pdt"), "rb").read()
    cells = data[32 + 160 * (stage - 1):32 + 160 * (stage - 1) + 144]
    pieces = tuple((i % 12, i // 12) for i, code in enumerate(cells) if 1 <= code <= 5)
    kinds = [code for code in cells if 1 <= code <= 5]
    board = [0 if 1 <= code <= 5 else code for code in cells]
    moves = {"L": (-1, 0), "R": (1, 0), "U": (0, -1), "D": (0, 1)}
    seen, queue = {pieces}, deque([(pieces, "")])
    while queue:
        pos, keys = queue.popleft()
        for key, (dx, dy) in moves.items():
            nxt = step(board, pos, dx, dy)
            if nxt in seen:
                continue
            seen.add(nxt)
            if any(board[y * 12 + x] == 11 for x, y in nxt):
                return "moves " + keys + key
            if all(board[y * 12 + x] == k + 5 for (x, y), k in zip(nxt, kinds)):
                continue
            if len(keys) < 12:
                queue.append((nxt, keys + key))
    raise SystemExit(f"no trap reachable in stage {stage}")


def main(argv):
    if len(argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    vunt, game, plan_path = argv[1:]
    plan = [l.strip() for l in open(plan_path, encoding="utf-8") if l.strip()]
    plan = [solved(vunt, game, l) if l.startswith("solve ") else trapped(game, l) if l.startswith("trap ")
            else l for l in plan]
    events, out = [], []
    while True:
        status, lines = replay(vunt, game, events)
        if status != 3:
            break
        while plan and plan[0].startswith("#"):
            out.append(plan.pop(0))
        want, line = waiting_for(lines)
        if plan and plan[0].startswith("event "):
            event = plan.pop(0)[6:]
            events.append(event)
            out.append(event)
        elif plan and plan[0] == "close":
            plan.pop(0)
            events.append("close")
            out.append("close")
        elif want == "click":
            events.append("click")
            out.append("click")
        elif want == "menu":
            if not plan or not plan[0].startswith("menu "):
                raise SystemExit(f"the game shows a menu, the plan says {plan[:1]}: {line}")
            caption = plan.pop(0)[5:]
            labels = line.split("\t")[1].split("|")
            if caption not in labels:
                raise SystemExit(f"no entry {caption} in {labels}")
            events.append(f"label {labels.index(caption)}")
            out.append(f"# {caption}\nlabel {labels.index(caption)}")
        elif want == "board":
            if not plan or not plan[0].startswith("moves "):
                raise SystemExit(f"the board waits, the plan says {plan[:1]}")
            moves, _, directive = plan.pop(0)[6:].partition(" #")
            keys = [KEYS[k] for k in moves.replace(" ", "")]
            events.extend(keys)
            out.append(directive or "\n".join(keys))
        else:
            raise SystemExit(f"cannot tell what the game waits for: {lines[-3:]}")
    if plan:
        raise SystemExit(f"the game ended ({lines[-2] if len(lines) > 1 else ''}) before the plan: {plan[:2]}")
    print("\n".join(out))
    print(f"walkthrough: {len(events)} events, {lines[-2]}", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
