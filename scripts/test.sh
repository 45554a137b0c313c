#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively (plainly and
# under AddressSanitizer and UndefinedBehaviorSanitizer), the dictionary fuzzer
# for a bounded time, the Windows build's tests under Wine in Xvfb, the zip and
# MSI packages installed and removed under Wine, the Debian package of the
# command line installed and removed, and the 32-bit Windows build; then the
# programs' hardening, and a second build that must give the same files.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh

jobs=$(nproc)
fuzz_seconds=${SORVANE_FUZZ_SECONDS:-60}

step() { printf '\n=== %s ===\n' "$*"; }

step "format"
# The tree is kept in its .clang-format shape; a change that is not fails here.
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

step "native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

step "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native-sanitize >/dev/null
cmake --build --preset native-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --preset native-sanitize -j "$jobs"

step "dictionary fuzzer (${fuzz_seconds} s)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
# The corpus grows between runs; a crash leaves its input in the artefact
# folder, named in the report, which goes to the log whole.
corpus="$root/build/fuzz/corpus"
artifacts="$root/build/fuzz/artifacts"
mkdir -p "$corpus" "$artifacts"
"$root/build/fuzz/fuzz/dictionary_fuzzer" -max_total_time="$fuzz_seconds" \
  -max_len=8192 -print_final_stats=1 -artifact_prefix="$artifacts/" \
  "$corpus" "$root/fuzz/seeds"

step "Windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

step "Windows tests under Wine"
source scripts/wine-env.sh
trap wine_env_stop EXIT
rm -rf "$root/build/windows/wineprefix"
wine_env_start "$root/build/windows/wineprefix"
ctest --preset windows
wine_env_stop
trap - EXIT

step "Windows at 144 DPI"
bash tests/dpi/run-at-144-dpi.sh "$root/build/windows"

step "packages: zip and MSI, installed, upgraded and removed under Wine"
rm -rf "$root/build/packages"
bash packaging/make-packages.sh "$root/build/windows" "$root/build/packages"
bash tests/packaging/install_test.sh "$root/build/packages" "$root/build/windows"

step "Debian package of the command line: lintian, installed, run and removed"
bash packaging/make-deb.sh "$root/build/native" "$root/build/packages"
bash tests/packaging/deb_test.sh "$root"/build/packages/sorvane-cli_*.deb
(cd "$root/build/packages" && cat SHA256SUMS && sha256sum --quiet -c SHA256SUMS)

# Compiled only: a 32-bit program does nothing under this 64-bit Wine.
step "Windows x86 build"
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 -j "$jobs"

step "hardening of the Windows programs"
bash scripts/check-hardening.sh "$root"/build/windows{,-x86}/{app/sorvane,cli/sorvane-cli}.exe

step "reproducible: a second build in another folder, time zone and umask"
bash scripts/check-reproducible.sh

step "all tests passed"
