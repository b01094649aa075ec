#!/usr/bin/env bash
# The authoring tools given hostile files: outputs that are no regular file, a line map that names
# files outside the game folder or one file under many spellings, includes that leave the source's
# folder, and sources built to make the tools work without end. Bounds are checked by what the
# tools do (files read, findings kept), never by their time.
set -u
vunt=$1
bin=$(dirname "$vunt")
source "$(dirname "$0")/lib/limits.bash"
source "$(dirname "$0")/lib/checks.bash"
# Runs a tool within 1 GB of address space, so that a tool that keeps what it should not fails
# here; a sanitizer build reserves terabytes of address space for itself and runs unbounded.
if ldd "$bin/vunt-asm" 2>/dev/null | grep -q libasan; then
  bounded() { limit "$@"; }
else
  bounded() { ( ulimit -v 1000000; limit "$@" ); }
fi
# The hash a line map carries of the script it describes (FNV-1a over its bytes).
script_hash() {
  python3 -c "
import sys
h = 14695981039346656037
for c in open(sys.argv[1], 'rb').read(): h = ((h ^ c) * 1099511628211) & (2**64 - 1)
print('%016x' % h)" "$1"
}

# Outputs: only a regular file or a new name; a pipe, a directory or a link stays as it is.
mkdir "$tmp/out"
printf 'MES,あ￥\nEOF\n' >"$tmp/out/story.txt"
mkfifo "$tmp/out/fifo"
limit "$bin/vunt-asm" "$tmp/out/story.txt" -o "$tmp/out/fifo" 2>"$tmp/err"; check "asm to a pipe: status" 1 $?
[ -p "$tmp/out/fifo" ] && [ ! -e "$tmp/out/fifo.map" ]; check "asm to a pipe: pipe kept, no map" 0 $?
grep -q "is a pipe (FIFO); only a regular file or a new name is written" "$tmp/err"; check "asm to a pipe: message" 0 $?
mkdir "$tmp/out/dir.zad"
limit "$bin/vunt-asm" "$tmp/out/story.txt" -o "$tmp/out/dir.zad" 2>/dev/null; check "asm to a directory" 1 $?
echo keep >"$tmp/out/other"
ln -s other "$tmp/out/link.zad"
limit "$bin/vunt-asm" "$tmp/out/story.txt" -o "$tmp/out/link.zad" 2>/dev/null; check "asm to a link" 1 $?
check "asm to a link: link and its file kept" "other|keep" "$(readlink "$tmp/out/link.zad")|$(cat "$tmp/out/other")"
mkfifo "$tmp/out/game.map"
limit "$bin/vunt-asm" "$tmp/out/story.txt" -o "$tmp/out/game.zad" 2>/dev/null; check "asm with a pipe for its map" 1 $?
[ ! -e "$tmp/out/game.zad" ]; check "asm with a pipe for its map: no lone script" 0 $?
limit "$bin/vunt-asm" "$tmp/out/story.txt" -o "$tmp/out/new.zad" >/dev/null; check "asm to a new name" 0 $?
echo mine >"$tmp/out/new.zad.tmp"
limit "$bin/vunt-asm" "$tmp/out/story.txt" -o "$tmp/out/new.zad" >/dev/null; check "asm over a regular file" 0 $?
check "asm: a file named like its temporary file is the user's and stays" "mine" "$(cat "$tmp/out/new.zad.tmp")"
check "asm: no temporary file left" "new.map new.zad new.zad.tmp" "$(cd "$tmp/out" && ls new.* | paste -sd' ')"
printf 'stage 1\n' >"$tmp/out/stages.txt"
for r in 1 2 3 4 5 6 7 8 9 10 11 12; do printf '1..........a\n' >>"$tmp/out/stages.txt"; done
limit "$bin/vunt-stage" pack "$tmp/out/stages.txt" "$tmp/out/fifo" 2>/dev/null; check "stage pack to a pipe" 1 $?
[ -p "$tmp/out/fifo" ]; check "stage pack to a pipe: pipe kept" 0 $?
limit "$bin/vunt-stage" pack "$tmp/out/stages.txt" "$tmp/out/vunt.pdt"; check "stage pack to a new name" 0 $?

# A game folder's line map: sources are quoted from inside the folder only.
mkdir -p "$tmp/game" "$tmp/private"
printf 'SECRET LINE\n' >"$tmp/private/notes.txt"
printf 'FOO\r\nEOF\r\n' >"$tmp/game/vunt-n.zad"
hash=$(script_hash "$tmp/game/vunt-n.zad")
printf 'vunt-map\t1\t%s\n1\t1\t../private/notes.txt\n2\t1\t%s\n' "$hash" "$tmp/private/notes.txt" >"$tmp/game/vunt-n.map"
limit "$bin/vunt-lint" "$tmp/game" >"$tmp/lint" 2>&1
grep -q "SECRET" "$tmp/lint"; check "map: no file outside the folder is quoted" 1 $?
grep -q "notes.txt:1" "$tmp/lint"; check "map: the position is still named" 0 $?
# One 16 MiB source under 100 spellings is read once (it used to be read and kept for each).
python3 -c "import sys; sys.stdout.write('xxxxxxx\\n' * (2 << 20))" >"$tmp/game/big.txt"
python3 -c "import sys; sys.stdout.write('FOO\\r\\n' * 100)" >"$tmp/game/vunt-n.zad"
hash=$(script_hash "$tmp/game/vunt-n.zad")
python3 - "$tmp/game/vunt-n.map" "$hash" <<'PY'
import sys
lines = ['vunt-map\t1\t' + sys.argv[2]]
for n in range(1, 101):
    lines.append('%d\t1\t%sbig.txt' % (n, './' * n))
open(sys.argv[1], 'w').write('\n'.join(lines) + '\n')
PY
bounded "$bin/vunt-lint" "$tmp/game" >"$tmp/lint" 2>&1; check "map: one big source under 100 spellings" 1 $?
check "map: every line quoted from it" 100 "$(grep -c '^ 1 | xxxxxxx$' "$tmp/lint")"
rm "$tmp/game/big.txt"
# A map that is a link out of the folder is not read, and its fields never reach the terminal.
printf 'vunt-map\t\033[2J\t0\n' >"$tmp/private/vunt-n.map"
rm "$tmp/game/vunt-n.map"
ln -s ../private/vunt-n.map "$tmp/game/vunt-n.map"
limit "$bin/vunt-lint" "$tmp/game" >"$tmp/lint" 2>&1
grep -q "version" "$tmp/lint"; check "map through a link out: not read" 1 $?
limit "$vunt" --headless --input /dev/null "$tmp/game" >/dev/null 2>"$tmp/err"
grep -q "version" "$tmp/err"; check "map through a link out: not read by the engine" 1 $?
rm "$tmp/game/vunt-n.map"
cp "$tmp/private/vunt-n.map" "$tmp/game/vunt-n.map"
limit "$bin/vunt-lint" "$tmp/game" >"$tmp/lint" 2>&1
grep -q $'\033' "$tmp/lint"; check "map field with an escape: not raw" 1 $?
grep -qF 'version \x1B[2J' "$tmp/lint"; check "map field with an escape: shown escaped" 0 $?

# Control characters of a script: escaped on standard error and in the linter's text.
printf 'FOO\033]0;owned\007\r\n' >"$tmp/game/vunt-n.zad"
rm "$tmp/game/vunt-n.map"
limit "$vunt" --headless --input /dev/null "$tmp/game" >/dev/null 2>"$tmp/err"
grep -q $'\033' "$tmp/err"; check "error report: no raw escape" 1 $?
grep -qF 'FOO\x1B]0;owned\x07' "$tmp/err"; check "error report: escape shown" 0 $?
limit "$bin/vunt-lint" "$tmp/game" >"$tmp/lint" 2>&1
grep -q $'\033' "$tmp/lint"; check "lint: no raw escape" 1 $?

# Includes stay in the source's folder unless the author allows more.
mkdir -p "$tmp/src/parts"
printf 'NOT A SCRIPT\n' >"$tmp/private.txt"
printf ':include ../private.txt\nEOF\n' >"$tmp/src/main.txt"
limit "$bin/vunt-asm" "$tmp/src/main.txt" 2>"$tmp/err"; check "include ..: refused" 1 $?
grep -q "NOT A SCRIPT" "$tmp/err"; check "include ..: its lines are not quoted" 1 $?
grep -q "outside the source's folder" "$tmp/err"; check "include ..: the reason" 0 $?
limit "$bin/vunt-asm" --include-anywhere "$tmp/src/main.txt" 2>"$tmp/err"; check "include .. allowed: read" 1 $?
grep -q "unknown command .NOT" "$tmp/err"; check "include .. allowed: its lines are checked" 0 $?
printf ':include /proc/self/environ\nEOF\n' >"$tmp/src/main.txt"
limit "$bin/vunt-lint" "$tmp/src/main.txt" >"$tmp/lint" 2>&1; check "include of an absolute path: refused" 1 $?
grep -q "outside the source's folder" "$tmp/lint"; check "include of an absolute path: the reason" 0 $?
ln -s "$tmp" "$tmp/src/parts/up"
printf ':include parts/up/private.txt\nEOF\n' >"$tmp/src/main.txt"
limit "$bin/vunt-asm" "$tmp/src/main.txt" 2>"$tmp/err"; check "include through a link out: refused" 1 $?
grep -q "NOT A SCRIPT" "$tmp/err"; check "include through a link out: not quoted" 1 $?
printf 'EOF\n' >"$tmp/src/parts/end.txt"
printf ':include parts/end.txt\n' >"$tmp/src/main.txt"
limit "$bin/vunt-asm" "$tmp/src/main.txt" >/dev/null; check "include below the folder: read" 0 $?

# Sources made to make the assembler work without end: a fan-out of includes, millions of
# faulty lines, continued lines and undefined references. Findings are capped and counted.
mkdir "$tmp/fan"
for i in $(seq 0 15); do
  : >"$tmp/fan/f$i.txt"
  if [ "$i" -lt 15 ]; then for k in 1 2 3 4; do echo ":include f$((i + 1)).txt" >>"$tmp/fan/f$i.txt"; done; fi
  echo "DO" >>"$tmp/fan/f$i.txt"
done
bounded "$bin/vunt-asm" "$tmp/fan/f0.txt" 2>"$tmp/err"; check "include fan-out: ends with errors" 1 $?
grep -q "more than 256 includes in all" "$tmp/err"; check "include fan-out: the bound is named" 0 $?
python3 -c "import sys; sys.stdout.write('FOO\n' * 4000000)" >"$tmp/many.txt"
bounded "$bin/vunt-asm" "$tmp/many.txt" 2>"$tmp/err"; check "4 M faulty lines: status" 1 $?
check "4 M faulty lines: findings kept" 1000 "$(grep -c ': error: ' "$tmp/err")"
grep -q "more findings not shown" "$tmp/err"; check "4 M faulty lines: the rest counted" 0 $?
python3 -c "import sys; sys.stdout.write('MES,a\\\\\n' * 2000000 + 'x\n')" >"$tmp/cont.txt"
bounded "$bin/vunt-asm" "$tmp/cont.txt" 2>"$tmp/err"; check "2 M continued lines: status" 1 $?
grep -q "continued over more than 1000 source lines" "$tmp/err"; check "2 M continued lines: the bound is named" 0 $?
python3 -c "
import sys
out = [':l%d\\n' % i for i in range(4999)] + ['DO\\n']
for k in range(250):
    out.append('MES,' + ''.join('{m%d}' % (k * 800 + i) for i in range(800)) + '\\n')
sys.stdout.write(''.join(out))" >"$tmp/refs.txt"
bounded "$bin/vunt-asm" "$tmp/refs.txt" 2>"$tmp/err"; check "200 k undefined references: status" 1 $?
grep -q "did you mean {l1}" "$tmp/err"; check "200 k undefined references: early ones get a hint" 0 $?
exit $fail
