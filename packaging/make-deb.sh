#!/usr/bin/env bash
# Makes the Debian package of the command line from a native Linux build:
#   sorvane-cli_<version>_<architecture>.deb
#     /usr/bin/sorvane-cli                          the program, stripped
#     /usr/share/man/man1/sorvane-cli.1.gz          its manual page
#     /usr/share/bash-completion/completions/sorvane-cli
#     /usr/share/zsh/vendor-completions/_sorvane-cli
#     /usr/share/fish/vendor_completions.d/sorvane-cli.fish
#                                                   its shell completion
#     /usr/share/doc/sorvane-cli/copyright          the licences: Sorvane's and
#                                                   the word list's
#     /usr/share/doc/sorvane-cli/changelog.gz       this version's entry
# and refreshes SHA256SUMS beside it.
#
#   packaging/make-deb.sh [build-dir] [output-dir]
#
# build-dir defaults to build/native (cmake --preset native && cmake --build
# --preset native --target sorvane-cli), output-dir to build/packages. As the
# Windows packages, it is the same for the same program, byte for byte: every
# date is SOURCE_DATE_EPOCH, every owner root, every mode fixed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/packaging/reproducible-env.sh"

build=$(realpath -m "${1:-$root/build/native}")
out=$(realpath -m "${2:-$root/build/packages}")
[ -f "$build/CMakeCache.txt" ] || die "$build is no configured build folder"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
program="$build/cli/sorvane-cli"
[ -x "$program" ] || die "$program is missing: build it first (cmake --build --preset native --target sorvane-cli)"

# The value of a string definition in res/version.h.
version_record() {
  sed -n "s/^#define $1 \"\\(.*\\)\"\$/\\1/p" "$root/res/version.h"
}
company=$(version_record SORVANE_COMPANY_NAME)
web_address=$(version_record SORVANE_WEB_ADDRESS)
maintainer="$company <packages@${web_address#www.}>"
architecture=$(dpkg --print-architecture)
deb="$out/sorvane-cli_${version}_${architecture}.deb"

mkdir -p "$out"
stage=$(mktemp -d "$out/deb-stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
package="$stage/package"
doc="$package/usr/share/doc/sorvane-cli"
share="$package/usr/share"
mkdir -p "$package/DEBIAN" "$package/usr/bin" "$share/man/man1" "$doc" \
  "$share/bash-completion/completions" "$share/zsh/vendor-completions" \
  "$share/fish/vendor_completions.d"

# As Debian's own packages strip their programs.
strip --strip-unneeded --remove-section=.comment --remove-section=.note \
  -o "$package/usr/bin/sorvane-cli" "$program"
gzip -9n <"$root/cli/sorvane-cli.1" >"$share/man/man1/sorvane-cli.1.gz"
# Where each shell looks for a command's completion by its name.
completion="$root/cli/completion"
cp "$completion/sorvane-cli.bash" "$share/bash-completion/completions/sorvane-cli"
cp "$completion/_sorvane-cli" "$share/zsh/vendor-completions/_sorvane-cli"
cp "$completion/sorvane-cli.fish" "$share/fish/vendor_completions.d/sorvane-cli.fish"

# The licences in Debian's machine-readable form, each text with its lines
# indented and its blank lines as " .": Sorvane's after its title and
# copyright line; the word list's notice, whose fields open it, then its
# remarks and the legal code.
indented() { sed 's/^$/./; s/^/ /'; }
words_notice="$root/cli/words/LICENSE-eff-wordlist.txt"
notice_field() {
  local value
  value=$(sed -n "s/^$1: //p" "$words_notice")
  [ -n "$value" ] || die "$words_notice has no $1 line"
  echo "$value"
}
[[ "$(notice_field License)" == *"(CC BY 3.0)"* ]] ||
  die "the word list's licence is no longer CC BY 3.0: name it anew in the copyright file"
{
  echo "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
  echo "Upstream-Name: Sorvane"
  echo "Source: https://$web_address"
  echo
  echo "Files: *"
  echo "Copyright: $(sed -n 's/^Copyright (c) //p' "$root/LICENSE")"
  echo "License: Expat"
  sed -n '/^Permission/,$p' "$root/LICENSE" | indented
  echo
  echo "Files: cli/words/*"
  echo "Copyright: $(notice_field Copyright)"
  echo "License: CC-BY-3.0"
  echo "Comment:"
  sed -n '1,/^Creative Commons Legal Code$/p' "$words_notice" | sed '$d' |
    grep -vE '^(Copyright|License): ' | cat -s | sed '${/^$/d}' | indented
  echo
  echo "License: CC-BY-3.0"
  sed -n '/^Creative Commons Legal Code$/,$p' "$words_notice" | indented
} >"$doc/copyright"

{
  echo "sorvane-cli ($version) unstable; urgency=medium"
  echo
  echo "  * Sorvane $version."
  echo
  echo " -- $maintainer  $(date -R -d "@$SOURCE_DATE_EPOCH")"
} | gzip -9n >"$doc/changelog.gz"

# The shared libraries the program needs, in Debian's terms; none when it is
# linked statically.
depends=$(
  cd "$stage" && mkdir debian &&
    printf 'Source: sorvane\n\nPackage: sorvane-cli\nArchitecture: any\n' >debian/control &&
    dpkg-shlibdeps -O "$package/usr/bin/sorvane-cli" 2>/dev/null |
    sed -n 's/^shlibs:Depends=//p'
)
{
  echo "Package: sorvane-cli"
  echo "Version: $version"
  echo "Architecture: $architecture"
  echo "Maintainer: $maintainer"
  echo "Installed-Size: $(du -k -s --apparent-size "$package/usr" | cut -f 1)"
  [ -z "$depends" ] || echo "Depends: $depends"
  echo "Section: utils"
  echo "Priority: optional"
  echo "Homepage: https://$web_address"
  echo "Description: random passwords from the system's secure generator"
  echo " The command line of Sorvane prints passwords for scripts and bulk use."
  echo " Every character is drawn without bias from the system's cryptographic"
  echo " generator and the passwords of a run are all different. Length, kind of"
  echo " characters, letter case, look-alike and repeat rules and a word list to"
  echo " leave out can be chosen; the output is plain, tab-separated or JSON."
} >"$package/DEBIAN/control"
(cd "$package" && find usr -type f | sort | xargs md5sum) >"$package/DEBIAN/md5sums"

# Modes and dates the same whatever the umask and the clock.
find "$package" -type d -exec chmod 0755 {} +
find "$package" -type f -exec chmod 0644 {} +
chmod 0755 "$package/usr/bin/sorvane-cli"
find "$package" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
rm -f "$deb"
dpkg-deb --root-owner-group -Zxz --build "$package" "$deb" >/dev/null

"$root/packaging/write-checksums.sh" "$out"
echo "$deb"
