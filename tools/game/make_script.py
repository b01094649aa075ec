#!/usr/bin/env python3
"""Assembles the bundled game's script from its readable source.

  python3 tools/game/make_script.py [SOURCE] [OUTPUT]
      (defaults: tools/game/story.txt and game/vunt-n.zad)

The source is UTF-8 and holds the script lines as the engine reads them, with three conveniences
that exist only here, because the engine knows line numbers alone:

  ; comment          a line whose first non-blank character is ";" is left out
  :name              a label: names the number of the next script line, and is left out itself
  {name}             anywhere in a line: replaced by that label's line number
  ... \\             a line ending in a backslash continues on the next source line

Leading ASCII blanks are dropped (indentation is for the reader), blank lines are left out. The
output is code page 932 with CR LF line ends, converted by iconv, as a Windows editor would save it.
The assembler refuses what the engine would only find while playing: an undefined or doubly
defined label, more than 1000 lines, an ASCII comma inside a message text (MES, ITMS, ITCG, and the
message lines of FP blocks), menu texts that break the menu rules, and characters that code page
932 cannot hold. It warns about message texts that the message area would break by itself: a line
longer than the 28 cells after the indent, or a page of more than four lines.
"""
import re
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
MAX_LINES = 1000
MARKS = "＊＠０１２３４５６７８９"
LABEL_REF = re.compile(r"\{([A-Za-z_][A-Za-z0-9_]*)\}")
# Commands whose last field is a text that must hold no ASCII comma: the number of commas the line
# must have.
TEXT_COMMANDS = {"MES": 1, "ITMS": 2, "ITCG": 2, "CMST": 2, "ADDCM": 3, "LBHGA": 2}


class SourceError(Exception):
    pass


def self_breaks(text, columns=33, rows=4, indent=5):
    """Where the message area would break a line or a page of the text without being told to."""
    found, col, row, emphasis, i = [], 0, 0, False, 0
    while i < len(text):
        c = text[i]
        if c == "＆":
            i += 5
            continue
        if c in "＠＃":
            i += 3
            continue
        i += 1
        if c == "￥":
            col = row = 0
        elif c == "＾":
            if col > 0:
                col, row = 0, row + 1
        elif c in "＜＞":
            emphasis = c == "＜"
        elif c == "：":
            if col > 0:
                row += 1
            col, i = indent, i + 1
        else:
            if col == 0 and not emphasis:
                col = indent
            col += 1
            if col == columns:
                col, row = 0, row + 1
                found.append(f"line full at {text[max(0, i - 6):i]!r}")
        if row >= rows:
            found.append(f"page full at {text[max(0, i - 6):i]!r}")
            col = row = 0
    return found


def read_source(path):
    """The script lines with their source line numbers, labels and comments taken out."""
    lines, labels, pending = [], {}, []
    raw = path.read_text(encoding="utf-8").split("\n")
    i = 0
    while i < len(raw):
        start = i + 1
        text = raw[i].rstrip("\r").lstrip(" \t")
        while text.endswith("\\") and i + 1 < len(raw):
            i += 1
            text = text[:-1] + raw[i].rstrip("\r").lstrip(" \t")
        i += 1
        if not text or text.startswith(";"):
            continue
        if text.startswith(":"):
            name = text[1:].strip()
            if not re.fullmatch(r"[A-Za-z_][A-Za-z0-9_]*", name):
                raise SourceError(f"{path.name}:{start}: bad label name {name!r}")
            if name in labels or name in pending:
                raise SourceError(f"{path.name}:{start}: label {name} defined twice")
            pending.append(name)
            continue
        for name in pending:
            labels[name] = len(lines) + 1
        pending = []
        lines.append((start, text))
    if pending:
        raise SourceError(f"{path.name}: label {pending[0]} names no line")
    return lines, labels


def check_menu_text(where, text):
    menus = text.split("・")
    for menu in menus:
        if not menu or menu[0] not in MARKS:
            raise SourceError(f"{where}: a menu must start with a mark: {menu!r}")
        if sum(1 for c in menu if c in MARKS) > 4:
            raise SourceError(f"{where}: more than four entries: {menu!r}")


def assemble(source):
    lines, labels = read_source(source)
    if len(lines) > MAX_LINES:
        raise SourceError(f"{source.name}: {len(lines)} lines, the engine reads at most {MAX_LINES}")
    out = []
    fp_data = set()
    for number, (start, text) in enumerate(lines, 1):
        where = f"{source.name}:{start} (line {number})"

        def resolve(m):
            if m.group(1) not in labels:
                raise SourceError(f"{where}: undefined label {m.group(1)}")
            return str(labels[m.group(1)])

        text = LABEL_REF.sub(resolve, text)
        word = text.split(",")[0]
        if word == "FP":
            end = int(text.split(",")[2])
            fp_data.update(range(number + 1, end))
        if number in fp_data or word in TEXT_COMMANDS:
            commas = 0 if number in fp_data else TEXT_COMMANDS[word]
            if text.count(",") != commas:
                raise SourceError(f"{where}: ASCII comma inside a text: {text}")
        texts = [text.split(",")[0]] if number in fp_data else []
        if word == "MES":
            texts = [text.split(",", 1)[1]]
        elif word in ("ITMS", "ITCG"):
            texts = [text.split(",", 2)[2]]
        for t in texts:
            for problem in self_breaks(t):
                print(f"{where}: warning: {problem}", file=sys.stderr)
        if word == "CMST":
            check_menu_text(where, text.split(",")[2])
        if word == "ADDCM":
            check_menu_text(where, text.split(",")[3])
        out.append(text)
    return out, labels


def main(argv):
    source = Path(argv[1]) if len(argv) > 1 else ROOT / "tools/game/story.txt"
    output = Path(argv[2]) if len(argv) > 2 else ROOT / "game/vunt-n.zad"
    try:
        lines, labels = assemble(source)
    except SourceError as e:
        print(e, file=sys.stderr)
        return 1
    text = "".join(line + "\r\n" for line in lines)
    result = subprocess.run(["iconv", "-f", "UTF-8", "-t", "CP932"], input=text.encode("utf-8"),
                            capture_output=True)
    if result.returncode != 0:
        print(f"iconv: {result.stderr.decode(errors='replace').strip()}", file=sys.stderr)
        return 1
    output.write_bytes(result.stdout)
    print(f"{output.relative_to(ROOT) if output.is_relative_to(ROOT) else output}: "
          f"{len(lines)} lines, {len(labels)} labels")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
