#!/usr/bin/env bash
# Builds what the packages hold a second time and compares it with the first
# build, file by file: a copy of the sources in another folder, built at
# another time, in another time zone, with another umask, must give the same
# programs (x64 and x86, and the Linux command line) and the same packages.
# Any difference fails, naming the file.
#   check-reproducible.sh   after the first build: build/windows,
#                           build/windows-x86, build/native, build/packages
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
# Both builds date their packages alike: the copy has no history of its own.
SOURCE_DATE_EPOCH=$(packaging/source-date-epoch.sh)
export SOURCE_DATE_EPOCH

work=$(mktemp -d "${TMPDIR:-/tmp}/sorvane-rebuild.XXXXXX")
trap 'rm -rf "$work"' EXIT
copy="$work/sources"
mkdir "$copy"
if git rev-parse --git-dir >/dev/null 2>&1; then
  git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - | tar -xf - -C "$copy"
else
  tar --exclude=./build -cf - . | tar -xf - -C "$copy"
fi

# Another zone than the first build's, half an hour off besides.
other_zone=Asia/Kolkata
[ "${TZ:-}" != "$other_zone" ] || other_zone=America/St_Johns
(
  cd "$copy"
  umask 077
  export TZ=$other_zone
  cmake --preset windows -DSORVANE_TESTS=OFF >/dev/null
  cmake --build --preset windows -j "$jobs" --target sorvane sorvane-cli >/dev/null
  cmake --preset windows-x86 >/dev/null
  cmake --build --preset windows-x86 -j "$jobs" >/dev/null
  cmake --preset native -DSORVANE_TESTS=OFF >/dev/null
  cmake --build --preset native -j "$jobs" --target sorvane-cli >/dev/null
  packaging/make-packages.sh build/windows build/packages >/dev/null
  packaging/make-deb.sh build/native build/packages >/dev/null
)

files=(windows/app/sorvane.exe windows/cli/sorvane-cli.exe
  windows-x86/app/sorvane.exe windows-x86/cli/sorvane-cli.exe
  native/cli/sorvane-cli packages/SHA256SUMS)
mapfile -t -O ${#files[@]} files < <(sed 's/^[0-9a-f]* [ *]/packages\//' "$root/build/packages/SHA256SUMS")
digest() {
  if [ -f "$1" ]; then sha256sum <"$1" | cut -d ' ' -f 1; else echo missing; fi
}
differing=0
for file in "${files[@]}"; do
  first=$(digest "$root/build/$file")
  second=$(digest "$copy/build/$file")
  if [ "$first" = "$second" ] && [ "$first" != missing ]; then
    echo "same       $first  $file"
  else
    echo "DIFFERENT  $file: $first first, $second again"
    differing=$((differing + 1))
  fi
done
[ "$differing" -eq 0 ] || { echo "$differing file(s) differ between the two builds"; exit 1; }
echo "the second build gave the same ${#files[@]} files"
