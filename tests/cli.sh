#!/usr/bin/env bash
# The command-line contract of the program: help, version, usage errors, headless runs, frames.
set -u
vunt=$1
root=$2
source "$(dirname "$0")/lib/limits.bash"
source "$(dirname "$0")/lib/checks.bash"

limit "$vunt" --help >"$tmp/out"; check "help status" 0 $?
grep -q -- "--headless" "$tmp/out"; check "help text" 0 $?
limit "$vunt" --version >"$tmp/out"; check "version status" 0 $?
grep -q "^vunt [0-9]" "$tmp/out"; check "version text" 0 $?

limit "$vunt" --bogus 2>"$tmp/err"; check "unknown option" 2 $?
check "unknown option message lines" 1 "$(wc -l <"$tmp/err")"
limit "$vunt" --headless "$tmp/none" 2>/dev/null; check "missing game dir" 2 $?
limit "$vunt" --headless --input 2>/dev/null; check "input without a file" 2 $?

mkdir "$tmp/game"
printf 'DO\r\nEXIT\r\n' >"$tmp/game/vunt-n.zad"
out=$(limit "$vunt" --headless "$tmp/game"); check "EXIT status" 0 $?
check "EXIT transcript" "end	EXIT" "$(echo "$out" | head -1)"

printf 'BOGUS\r\n' >"$tmp/game/vunt-n.zad"
limit "$vunt" --headless "$tmp/game" >"$tmp/out" 2>"$tmp/err"; check "error status" 1 $?
check "error transcript" "error	Zad ERROR	命令無し( 1)\\rBOGUS" "$(grep ^error "$tmp/out")"
grep -q "命令無し( 1)" "$tmp/err"; check "error on stderr" 0 $?

printf 'click\nbogus event\n' >"$tmp/input"
limit "$vunt" --headless --input "$tmp/input" "$tmp/game" 2>"$tmp/err" >/dev/null; check "bad input file" 2 $?

# Without a display the window cannot open: one line that points to --headless.
limit env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$vunt" "$tmp/game" 2>"$tmp/err"; check "no display status" 1 $?
grep -q -- "--headless" "$tmp/err"; check "no display advice" 0 $?

# Messages that say where the game was looked for: no argument (the program's own folder holds
# no script), a folder without the script, a display that cannot be opened.
"$vunt" --headless 2>"$tmp/err"; check "no game in the program's folder" 2 $?
grep -q "$(dirname "$(readlink -f "$vunt")")" "$tmp/err"; check "names the program's folder" 0 $?
grep -q "vunt GAME_DIR" "$tmp/err"; check "says how to name a game" 0 $?
grep -q "vunt/game" "$tmp/err"; check "names the installed game's folder too" 0 $?
# The script named instead of its folder: said so, and the folder to name instead.
limit "$vunt" --headless "$tmp/game/vunt-n.zad" 2>"$tmp/err" >/dev/null; check "a file for a folder" 2 $?
grep -q "is a file, not a game folder.*: vunt $tmp/game " "$tmp/err"; check "a file for a folder: said so" 0 $?
# A missing picture is said to be missing.
mkdir "$tmp/nopicture"
printf 'GHG,gone\r\nEOF\r\n' >"$tmp/nopicture/vunt-n.zad"
limit "$vunt" --headless "$tmp/nopicture" >/dev/null 2>"$tmp/err"; check "missing picture status" 1 $?
grep -q "gone.szg: no such file" "$tmp/err"; check "missing picture: said missing" 0 $?
# A named folder without the script: the game's own load failure, reported as every script
# error is (status 1, the transcript's error and end lines), and standard error names the folder.
mkdir "$tmp/empty"
limit "$vunt" --headless "$tmp/empty" >"$tmp/out" 2>"$tmp/err"; check "folder without a script" 1 $?
check "folder without a script: report" "error	Zad ERROR	ファイルが読込めません\\r\\nvunt-n.zad( 0)\\r|end	error" \
  "$(grep -E '^(error|end)' "$tmp/out" | paste -sd'|')"
grep -q "no vunt-n.zad in $tmp/empty" "$tmp/err"; check "names that folder" 0 $?
grep -q "vunt GAME_DIR" "$tmp/err"; check "says how to name the game's folder" 0 $?
DISPLAY=:987 "$vunt" "$tmp/game" 2>"$tmp/err"; check "unreachable display status" 1 $?
grep -q "cannot open the display :987" "$tmp/err"; check "names the display" 0 $?
"$vunt" --scale 0 "$tmp/game" 2>/dev/null; check "scale out of range" 2 $?
for scale in "" "-1" "+2" "99999999999" "2x"; do
  limit "$vunt" --scale "$scale" "$tmp/game" 2>/dev/null; check "scale [$scale]" 2 $?
done
# The input file: a directory is none, and an endless one ends at its bound.
limit "$vunt" --headless --input "$tmp" "$tmp/game" 2>"$tmp/err" >/dev/null; check "input: a directory" 2 $?
grep -q "is a directory" "$tmp/err"; check "input: a directory is named" 0 $?
limit "$vunt" --headless --input /dev/zero "$tmp/game" 2>"$tmp/err" >/dev/null; check "input: endless" 2 $?
grep -q "more than 16 MiB" "$tmp/err"; check "input: endless is named" 0 $?
"$vunt" --renderer=fast "$tmp/game" 2>/dev/null; check "unknown renderer" 2 $?

# The bundled game starts and ends cleanly headless.
limit "$vunt" --headless --input /dev/null "$root/game" >"$tmp/out"; status=$?
case $status in 0|3) check "bundled game" ok ok ;; *) check "bundled game" "0 or 3" $status ;; esac
exit $fail
