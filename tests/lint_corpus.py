#!/usr/bin/env python3
"""Runs a vunt-lint program over the planted-fault corpus (tests/data/lint_corpus/corpus.txt) and
counts the faults it finds and the false alarms it raises.

usage: lint_corpus.py VUNT_LINT [--verbose]
The stages are packed with the vunt-stage program beside VUNT_LINT. Prints one line per case and
a summary "found F of N planted faults; A false alarms in C games"; exits with 1 unless every
fault is found, no false alarm is raised and every finding carries a hint."""
import json
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CORPUS = os.path.join(ROOT, "tests", "data", "lint_corpus")
GAME = os.path.join(ROOT, "game")


def cases():
    name = None
    for line in open(os.path.join(CORPUS, "corpus.txt"), encoding="utf-8"):
        line = line.rstrip("\n")
        if line.startswith("==="):
            if name:
                yield name, expect, options, lines
            words = line.split()[1:]
            name, kind, rest = words[0], words[1], words[2:]
            expect = None
            if kind == "expect":
                expect = {int(x) for x in rest[0].split(",")}
                rest = rest[1:]
            options = dict(w.split("=", 1) if "=" in w else (w, "") for w in rest)
            lines = []
        elif name:
            lines.append(line)
        # Lines before the first case are comments.
    if name:
        yield name, expect, options, lines


def encode(text, encoding):
    if encoding == "mojibake":
        return text.encode("utf-8").decode("cp1252", errors="replace").encode("utf-8")
    if encoding == "utf-16":
        return text.encode("utf-16")
    return text.encode(encoding or "cp932")


def main():
    lint = os.path.abspath(sys.argv[1])
    verbose = "--verbose" in sys.argv
    stage_tool = os.path.join(os.path.dirname(lint), "vunt-stage")
    tmp = tempfile.mkdtemp()
    try:
        pdt = os.path.join(tmp, "corpus.pdt")
        subprocess.run([stage_tool, "pack", os.path.join(CORPUS, "stages.txt"), pdt], check=True, timeout=60)
        faults = found = alarms = games = hintless = 0
        for name, expect, options, lines in cases():
            games += 1
            game = os.path.join(tmp, name)
            os.mkdir(game)
            for f in os.listdir(GAME):
                if f not in ("vunt-n.zad", "VUNT.DAT"):
                    shutil.copy(os.path.join(GAME, f), os.path.join(game, f))
            if "stages" in options:
                os.remove(os.path.join(game, "vunt.pdt"))
                shutil.copy(pdt, os.path.join(game, "vunt.pdt"))
            with open(os.path.join(game, "vunt-n.zad"), "wb") as out:
                out.write(encode("".join(l + "\r\n" for l in lines), options.get("encoding")))
            run = subprocess.run([lint, "--format=json", game], capture_output=True, text=True, timeout=60)
            findings = json.loads(run.stdout)
            at = [f["line"] for f in findings if f["severity"] in ("error", "warning")]
            bare = [f["message"] for f in findings if not f["hint"]]
            hintless += len(bare)
            extra = [l for l in at if expect is None or l not in expect]
            alarms += len(extra)
            if expect is not None:
                faults += 1
                hit = any(l in expect for l in at)
                found += hit
                verdict = "found" if hit else "MISSED"
            else:
                verdict = "clean" if not extra else "ALARM"
            print(f"{verdict:7} {name}" + (f"  (false alarms at {extra})" if extra else "") +
                  "".join(f"\n        no hint: {m}" for m in bare))
            if verbose and (verdict != "found" and verdict != "clean" or extra):
                print(run.stdout)
        print(f"found {found} of {faults} planted faults; {alarms} false alarms in {games} games; "
              f"{hintless} findings without a hint")
        return 0 if found == faults and alarms == 0 and hintless == 0 else 1
    finally:
        shutil.rmtree(tmp)


if __name__ == "__main__":
    sys.exit(main())
