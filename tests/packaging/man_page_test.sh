#!/usr/bin/env bash
# The manual page keeps up with the program: each option that --help lists has
# a tag in the page's OPTIONS, spelled alike ("-l, --length=N"), and the page
# lists no option the program has dropped.
#   man_page_test.sh <sorvane-cli> <sorvane-cli.1>
set -euo pipefail
program=$1
page=$2

help_options() {
  "$program" --help | tr -d '\r' |
    grep -oE '^ {2,}(-[[:alnum:]], )?--[[:alnum:]-]+(=[[:upper:]]+|\[=[[:upper:]]+\])?' | sed 's/^ *//'
}
# The line after each .TP of OPTIONS, without its fonts and escapes.
page_options() {
  sed -n '/^\.SH OPTIONS/,/^\.SH /{/^\.TP/{n;p}}' "$page" | sed 's/\\f[BIRP]//g; s/\\-/-/g'
}

help=$(help_options | sort)
[ -n "$help" ] || { echo "FAIL: --help lists no option"; exit 1; }
listed=$(page_options | sort)
missing=$(comm -23 <(echo "$help") <(echo "$listed"))
stale=$(comm -13 <(echo "$help") <(echo "$listed"))
[ -z "$missing" ] || echo "FAIL: not in the manual page:"$'\n'"$missing"
[ -z "$stale" ] || echo "FAIL: in the manual page but not in --help:"$'\n'"$stale"
[ -z "$missing$stale" ] || exit 1
echo "the manual page lists the $(wc -l <<<"$help") options of --help"
