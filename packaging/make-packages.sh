#!/usr/bin/env bash
# Makes the packages a Windows user installs, from a 64-bit Windows build:
#   sorvane-<version>-win64.zip  sorvane.exe, sorvane-cli.exe, README.txt, LICENSE.txt
#   sorvane-<version>-x64.msi    the same files installed into Program Files
#                                (packaging/sorvane.wxs, built with wixl)
#
#   packaging/make-packages.sh [--version V] [build-dir] [output-dir]
#
# build-dir defaults to build/windows (configure and build it first:
# cmake --preset windows && cmake --build --preset windows), output-dir to
# build/packages. The version is the one CMake read from res/version.h into the
# build folder; --version makes the packages as another version, as the
# install test does to try an upgrade.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

die() {
  echo "make-packages: $*" >&2
  exit 1
}

version=""
if [ "${1:-}" = --version ]; then
  [ $# -ge 2 ] || die "--version needs a version"
  version=$2
  shift 2
fi
build=$(realpath -m "${1:-$root/build/windows}")
out=$(realpath -m "${2:-$root/build/packages}")

if [ -z "$version" ]; then
  [ -f "$build/CMakeCache.txt" ] || die "$build is no configured build folder"
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
fi
# Windows Installer allows at most 255.255.65535.65535, and the upgrade bound
# needs one build number more.
[[ "$version" =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)\.([0-9]+)$ ]] ||
  die "'$version' is not a four-part version"
major=$((10#${BASH_REMATCH[1]})) minor=$((10#${BASH_REMATCH[2]}))
patch=$((10#${BASH_REMATCH[3]})) revision=$((10#${BASH_REMATCH[4]}))
[ "$major" -le 255 ] && [ "$minor" -le 255 ] && [ "$patch" -lt 65535 ] &&
  [ "$revision" -le 65535 ] || die "version $version is beyond what Windows Installer can compare"

# The value of a string definition in res/version.h.
version_record() {
  local value
  value=$(sed -n "s/^#define $1 \"\\(.*\\)\"\$/\\1/p" "$root/res/version.h")
  [ -n "$value" ] || die "res/version.h has no $1"
  echo "$value"
}
publisher=$(version_record SORVANE_COMPANY_NAME)
web_address=$(version_record SORVANE_WEB_ADDRESS)

# The machine field of a PE header: 8664 for x64, 014c for x86.
pe_machine() {
  local header
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((header + 4)) -N2 "$1" | tr -d ' '
}
programs=("$build/app/sorvane.exe" "$build/cli/sorvane-cli.exe")
for program in "${programs[@]}"; do
  [ -f "$program" ] ||
    die "$program is missing: build the Windows programs first (cmake --build --preset windows)"
  [ "$(pe_machine "$program")" = 8664 ] || die "$program is not a 64-bit Windows program"
done

mkdir -p "$out"
stage=$(mktemp -d "$out/stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT

cp "${programs[@]}" "$root/res/sorvane.ico" "$stage/"
# The build keeps its debugging information; the user's copies need none of it.
strip=$(sed -n 's/^CMAKE_STRIP:FILEPATH=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
"${strip:-x86_64-w64-mingw32-strip}" --strip-debug "$stage/sorvane.exe" "$stage/sorvane-cli.exe"
# Text files for Notepad: CR LF line ends. The read-me's picture is not in the
# package, so its line goes, and with it the blank line it leaves doubled.
crlf() { sed 's/\r$//; s/$/\r/'; }
sed -e '/^!\[[^]]*\]([^)]*)$/d' "$root/README.md" | cat -s | crlf >"$stage/README.txt"
crlf <"$root/LICENSE" >"$stage/LICENSE.txt"

zip="$out/sorvane-$version-win64.zip"
msi="$out/sorvane-$version-x64.msi"
rm -f "$zip" "$msi"
(cd "$stage" &&
  cmake -E tar cf "$zip" --format=zip sorvane.exe sorvane-cli.exe README.txt LICENSE.txt)
# wixl finds the sources named in sorvane.wxs in the folder it runs in.
(cd "$stage" &&
  wixl --arch x64 --output "$msi" \
    --define "Version=$version" --define "UpgradeBelow=$major.$minor.$((patch + 1))" \
    --define "Publisher=$publisher" --define "WebAddress=$web_address" \
    "$root/packaging/sorvane.wxs")
echo "$zip"
echo "$msi"
