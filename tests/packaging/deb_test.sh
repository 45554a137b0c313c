#!/usr/bin/env bash
# Checks the Debian package as a Linux user meets it: lintian finds no error,
# dpkg installs it, the installed command, its manual page and its shell
# completion are where a user and the shells look for them, the command runs
# and bash completes it, the copyright file holds the word list's licence, and
# dpkg removes it all again.
#   deb_test.sh <package.deb>
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
deb=$(realpath "$1")
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
version=$(dpkg-deb -f "$deb" Version)

echo "lintian"
lintian --fail-on error "$deb" || fail "lintian reports errors"

echo "install, run, remove"
dpkg -i "$deb" >/dev/null || fail "dpkg -i exited with $?"
[ "$(command -v sorvane-cli)" = /usr/bin/sorvane-cli ] || fail "sorvane-cli is not /usr/bin/sorvane-cli"
[ "$(sorvane-cli --version)" = "$version" ] || fail "sorvane-cli --version printed '$(sorvane-cli --version)'"
passwords=$(sorvane-cli -l 12 -n 3)
[ "$(grep -cxE '[[:alnum:]]{12}' <<<"$passwords")" -eq 3 ] || fail "sorvane-cli -l 12 -n 3 printed '$passwords'"
[ "$(man -w sorvane-cli 2>/dev/null)" = /usr/share/man/man1/sorvane-cli.1.gz ] ||
  fail "man does not find the manual page"
for file in /usr/share/zsh/vendor-completions/_sorvane-cli \
  /usr/share/fish/vendor_completions.d/sorvane-cli.fish; do
  [ -f "$file" ] || fail "no $file"
done
bash "$root/tests/packaging/bash_completion_test.sh" --installed ||
  fail "bash-completion's loader does not find a working completion of sorvane-cli"

echo "the word list's licence in the copyright file"
# Paragraph by paragraph: one for the word list's files under CC-BY-3.0, and
# that licence's paragraph holding the notice's legal code, as written.
copyright=/usr/share/doc/sorvane-cli/copyright
awk -v RS= '/^Files: cli\/words\/\*\n/ && /\nLicense: CC-BY-3.0\n/' "$copyright" | grep -q . ||
  fail "no Files paragraph of the word list under CC-BY-3.0 in $copyright"
cmp -s <(awk -v RS= -v ORS='\n\n' 'sub(/^License: CC-BY-3.0\n/, "")' "$copyright" |
  sed 's/^ //; s/^\.$//' | sed '$d') \
  <(sed -n '/^Creative Commons Legal Code$/,$p' "$root/cli/words/LICENSE-eff-wordlist.txt") ||
  fail "the CC-BY-3.0 paragraph of $copyright is not the word list's legal code"
dpkg -r sorvane-cli >/dev/null || fail "dpkg -r exited with $?"
for file in $(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print substr($6, 2) }'); do
  [ ! -e "$file" ] || fail "left after the removal: $file"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures Debian package check(s) failed"
  exit 1
fi
echo "Debian package checks passed"
