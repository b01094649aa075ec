#!/usr/bin/env python3
"""Assembles a script from its labelled source with vunt-asm (kept for older recipes).

  python3 tools/game/make_script.py [SOURCE] [OUTPUT]
      (defaults: tools/game/story.txt and game/vunt-n.zad)

The source language and every check are vunt-asm's (see docs/vunt-asm.md); this only finds the
program: $VUNT_ASM, else build/vunt-asm, else vunt-asm on the PATH.
"""
import os
import shutil
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]


def find_vunt_asm():
    for candidate in (os.environ.get("VUNT_ASM"), ROOT / "build" / "vunt-asm", shutil.which("vunt-asm")):
        if candidate and Path(candidate).is_file() and os.access(candidate, os.X_OK):
            return str(candidate)
    return None


def main(argv):
    source = argv[1] if len(argv) > 1 else str(ROOT / "tools/game/story.txt")
    output = argv[2] if len(argv) > 2 else str(ROOT / "game/vunt-n.zad")
    program = find_vunt_asm()
    if not program:
        print("make_script.py: vunt-asm is not built: run make build (or set VUNT_ASM)", file=sys.stderr)
        return 1
    return subprocess.call([program, source, "-o", output])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
