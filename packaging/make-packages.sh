#!/usr/bin/env bash
# Makes the packages a Windows user installs, from a 64-bit Windows build:
#   sorvane-<version>-win64.zip  sorvane.exe, sorvane-cli.exe, README.txt, LICENSE.txt,
#                                LICENSE-eff-wordlist.txt (the word list's licence),
#                                sorvane-cli-completion.ps1 (PowerShell completion)
#   sorvane-<version>-x64.msi    the same files installed into Program Files
#                                (packaging/sorvane.wxs, built with wixl), the
#                                folder added to the system's PATH
# and refreshes SHA256SUMS beside them.
#
#   packaging/make-packages.sh [--version V] [build-dir] [output-dir]
#
# build-dir defaults to build/windows (configure and build it first:
# cmake --preset windows && cmake --build --preset windows), output-dir to
# build/packages. The version is the one CMake read from res/version.h into the
# build folder; --version makes the packages as another version, as the
# install test does to try an upgrade.
#
# The same programs give the same packages, byte for byte: every date inside
# is SOURCE_DATE_EPOCH (by default the commit's time, see source-date-epoch.sh),
# every mode fixed, and the MSI's codes follow from its contents.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/packaging/reproducible-env.sh"

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
# Stripping stamps the header with SOURCE_DATE_EPOCH, not with the clock.
strip=$(sed -n 's/^CMAKE_STRIP:FILEPATH=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
"${strip:-x86_64-w64-mingw32-strip}" --strip-debug "$stage/sorvane.exe" "$stage/sorvane-cli.exe"
# Text files for Notepad: CR LF line ends. The read-me's picture is not in the
# package, so its line goes, and with it the blank line it leaves doubled.
crlf() { sed 's/\r$//; s/$/\r/'; }
sed -e '/^!\[[^]]*\]([^)]*)$/d' "$root/README.md" | cat -s | crlf >"$stage/README.txt"
crlf <"$root/LICENSE" >"$stage/LICENSE.txt"
crlf <"$root/cli/words/LICENSE-eff-wordlist.txt" >"$stage/LICENSE-eff-wordlist.txt"
crlf <"$root/cli/completion/sorvane-cli-completion.ps1" >"$stage/sorvane-cli-completion.ps1"
# Modes and times the same whatever the umask and the clock: the zip sets its
# own, but the cabinet inside the MSI keeps the files' times.
chmod 0644 "$stage"/*
touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*

# A GUID from the package's digest, under its own label: the same contents
# give the same codes, other contents other codes.
digest=$(cd "$stage" && {
  printf '%s\n' "$version" "$publisher" "$web_address"
  sha256sum -- * "$root/packaging/sorvane.wxs" "$root/packaging/make-packages.sh" | cut -d ' ' -f 1
} | sha256sum | cut -c 1-64)
guid_of() {
  local hex
  hex=$(printf '%s %s' "$1" "$digest" | sha256sum | tr a-f A-F)
  echo "{${hex:0:8}-${hex:8:4}-8${hex:13:3}-A${hex:17:3}-${hex:20:12}}"
}

# wixl has no Environment element, so the MSI's Environment table, and the
# standard actions that read it, are added afterwards. The row appends the
# folder to the machine's PATH ("=" set, "*" the system's, "[~];" after the
# value there) and takes out just that part again on uninstall ("-").
add_folder_to_path() {
  msibuild "$1" \
    -q 'CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL,
          `Name` CHAR(255) NOT NULL LOCALIZABLE, `Value` CHAR(255) LOCALIZABLE,
          `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)' \
    -q "INSERT INTO \`Environment\` (\`Environment\`, \`Name\`, \`Value\`, \`Component_\`)
          VALUES ('PATH', '=-*PATH', '[~];[INSTALLDIR]', 'ConsoleProgram')" \
    -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`)
          VALUES ('RemoveEnvironmentStrings', 3300)" \
    -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`)
          VALUES ('WriteEnvironmentStrings', 5200)"
}

zip="$out/sorvane-$version-win64.zip"
msi="$out/sorvane-$version-x64.msi"
rm -f "$zip" "$msi"
(cd "$stage" &&
  "$root/packaging/write-zip.py" "$zip" "$SOURCE_DATE_EPOCH" \
    sorvane.exe sorvane-cli.exe README.txt LICENSE.txt LICENSE-eff-wordlist.txt \
    sorvane-cli-completion.ps1)
# wixl finds the sources named in sorvane.wxs in the folder it runs in.
(cd "$stage" &&
  wixl --arch x64 --output "$msi" \
    --define "Version=$version" --define "UpgradeBelow=$major.$minor.$((patch + 1))" \
    --define "Publisher=$publisher" --define "WebAddress=$web_address" \
    --define "ProductCode=$(guid_of product)" \
    "$root/packaging/sorvane.wxs")
add_folder_to_path "$msi"
"$root/packaging/stamp-msi.py" "$msi" "$SOURCE_DATE_EPOCH" "$(guid_of package)"

"$root/packaging/write-checksums.sh" "$out"
echo "$zip"
echo "$msi"
