#!/usr/bin/env bash
# Installs what building, running and testing Sorvane needs on Debian 12.
# Only packages that are missing are installed; run as root (or with sudo).
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools msitools wixl
  python3 python3-gi gir1.2-libmsi-1.0 dpkg-dev lintian man-db bash-completion
  wine wine64 fonts-wine xvfb xauth xdotool xclip imagemagick
  clang clang-format libclang-rt-14-dev valgrind bc time
  pwgen wamerican-insane
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
