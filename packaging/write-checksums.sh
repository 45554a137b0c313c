#!/usr/bin/env bash
# Writes SHA256SUMS beside the packages in a folder, one line a package in
# name order, as `sha256sum -c SHA256SUMS` reads it there.
#   write-checksums.sh <packages-dir>
set -euo pipefail
cd "$1"
export LC_ALL=C
shopt -s nullglob
packages=(sorvane*.zip sorvane*.msi sorvane*.deb)
[ ${#packages[@]} -gt 0 ] || { echo "write-checksums: no package in $1" >&2; exit 1; }
mapfile -t packages < <(printf '%s\n' "${packages[@]}" | sort)
sha256sum -- "${packages[@]}" >SHA256SUMS.new
mv SHA256SUMS.new SHA256SUMS
