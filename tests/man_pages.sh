#!/usr/bin/env bash
# Each program's manual page says what its --help says: both are made from docs/man/PROGRAM.txt,
# and this renders the page as a reader sees it and compares its synopsis and description with
# the --help output, character for character once line breaks and spaces are set aside.
set -u
vunt=$1
src=$2
build=$(dirname "$vunt")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }

# The rendered page between the SYNOPSIS and SEE ALSO headings, without the DESCRIPTION heading.
page_text() {
  GROFF_NO_SGR=1 timeout -k 5 30 groff -man -ww -Tascii -P-b -P-u -P-o "$1" 2>"$tmp/groff-errors" |
    sed 's/.\x08//g' | awk '/^SYNOPSIS$/ { on = 1; next } /^SEE ALSO$/ { on = 0 } /^DESCRIPTION$/ { next } on'
}
squeeze() { tr -d ' \t\n'; }

for entry in vunt:6 vunt-asm:1 vunt-lint:1 vunt-stage:1; do
  prog=${entry%:*} section=${entry#*:}
  page=$build/man/$prog.$section
  check "$prog: source and page" '[ -f "$src/docs/man/$prog.txt" ] && [ -s "$page" ]'
  timeout -k 5 30 "$build/$prog" --help >"$tmp/help" 2>&1
  check "$prog: --help starts with its usage" '[ "$(head -c $((8 + ${#prog})) "$tmp/help")" = "usage: $prog " ]'
  page_text "$page" >"$tmp/page"
  check "$prog: page renders without warnings" '[ ! -s "$tmp/groff-errors" ]'
  check "$prog: page names the program" 'grep -q "^\.SH NAME" "$page" && grep -q "^$prog \\\\- " "$page"'
  sed "1s/^usage: //" "$tmp/help" >"$tmp/help-text"
  check "$prog: page says what --help says" '[ "$(squeeze <"$tmp/help-text")" = "$(squeeze <"$tmp/page")" ]'
  if [ "$(squeeze <"$tmp/help-text")" != "$(squeeze <"$tmp/page")" ]; then
    diff <(tr -s ' \n' '\n\n' <"$tmp/help-text") <(tr -s ' \n' '\n\n' <"$tmp/page") | head -20
  fi
done
exit $fail
