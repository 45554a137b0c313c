#!/usr/bin/env bash
# Checks the Debian package as a Linux user meets it: lintian finds no error,
# dpkg installs it, the installed command and its manual page are where a user
# looks for them and the command runs, and dpkg removes it all again.
#   deb_test.sh <package.deb>
set -u
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
dpkg -r sorvane-cli >/dev/null || fail "dpkg -r exited with $?"
for file in $(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print substr($6, 2) }'); do
  [ ! -e "$file" ] || fail "left after the removal: $file"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures Debian package check(s) failed"
  exit 1
fi
echo "Debian package checks passed"
