#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively (plainly and
# under AddressSanitizer and UndefinedBehaviorSanitizer), the dictionary fuzzer
# for a bounded time, and the Windows build's tests under Wine in Xvfb.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh

jobs=$(nproc)
fuzz_seconds=${SORVANE_FUZZ_SECONDS:-60}

step() { printf '\n=== %s ===\n' "$*"; }

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

step "all tests passed"
