#!/usr/bin/env python3
"""Turns a walkthrough plan into a headless input file for the bundled game.

  python3 tools/game/walkthrough.py VUNT GAME_DIR PLAN > INPUT

The plan names only the player's decisions, one a line:
  menu CAPTION      choose the menu entry with this caption at the next menu
  moves KEYS        puzzle keys at the next board wait: L R U D, and E for Esc
  solve N           the keys of stage N as vunt-stage (beside VUNT) solves it
  close             close the window at the next wait
  # text            copied into the input file as a comment
Everything else the game waits for (message pages, the picture window, the puzzle's status words)
is answered with a click. The game is replayed headless after every event to see what it waits
for next, so the input file always matches the script as it is.
"""
import os
import re
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
    return "moves " + found.group(1)


def main(argv):
    if len(argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    vunt, game, plan_path = argv[1:]
    plan = [l.strip() for l in open(plan_path, encoding="utf-8") if l.strip()]
    plan = [solved(vunt, game, l) if l.startswith("solve ") else l for l in plan]
    events, out = [], []
    while True:
        status, lines = replay(vunt, game, events)
        if status != 3:
            break
        while plan and plan[0].startswith("#"):
            out.append(plan.pop(0))
        want, line = waiting_for(lines)
        if plan and plan[0] == "close":
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
            keys = [KEYS[k] for k in plan.pop(0)[6:].replace(" ", "")]
            events.extend(keys)
            out.append(" ".join(keys).replace(" ", "\n"))
        else:
            raise SystemExit(f"cannot tell what the game waits for: {lines[-3:]}")
    if plan:
        raise SystemExit(f"the game ended ({lines[-2] if len(lines) > 1 else ''}) before the plan: {plan[:2]}")
    print("\n".join(out))
    print(f"walkthrough: {len(events)} events, {lines[-2]}", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
