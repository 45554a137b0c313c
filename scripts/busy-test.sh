#!/usr/bin/env bash
# Runs the Windows tests several times in a row while the machine is kept
# busy the way a shared CI machine is: a compiler rebuilding the native tree,
# another Wine program running its tests in a prefix and display of its own,
# and a plain loop on every core. A test that waits on the machine's speed
# fails here sooner or later; the tests pass only when each of them sets its
# own pace. Not part of every CI run: it takes as long as the runs it makes.
#
#   scripts/busy-test.sh [runs (default 5)] [ctest arguments...]
#
# Needs a Windows build with the tests (scripts/test.sh leaves one) and a
# native one. Prints one line a run and exits non-zero when any run failed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-5}
shift || true
build="$root/build/windows"
[ -x "$build/tests/app/app_tests.exe" ] || {
  echo "No Windows build with tests in $build: run scripts/test.sh first." >&2
  exit 2
}

logs="$root/build/busy"
rm -rf "$logs"
mkdir -p "$logs"
loads=()
stop_loads() {
  local pid
  for pid in "${loads[@]}"; do
    kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
}
trap stop_loads EXIT

# Each load runs in a process group of its own, so stopping it stops
# everything it started.
start_load() {
  setsid bash -c "$1" >"$logs/$2.log" 2>&1 &
  loads+=($!)
}

# A compiler: the native tree rebuilt from nothing, over and over.
cmake --preset native -B "$logs/native" >/dev/null
start_load "while :; do cmake --build '$logs/native' --clean-first -j $(nproc) >/dev/null; done" compiler
# Another Wine program: the list's window tests in a prefix and display of
# their own, over and over.
start_load "source scripts/wine-env.sh; wine_env_start '$logs/other-prefix' >/dev/null 2>&1
  trap wine_env_stop EXIT
  while :; do scripts/wine-gtest '$build/tests/listctrl/list_window_tests.exe' >/dev/null; done" other-wine
# A plain loop on every core.
for _ in $(seq "$(nproc)"); do
  start_load "while :; do :; done" cpu
done
sleep 5

source scripts/wine-env.sh
failed=0
for run in $(seq "$runs"); do
  rm -rf "$build/wineprefix-busy"
  wine_env_start "$build/wineprefix-busy"
  load=$(cut -d ' ' -f 1 /proc/loadavg)
  if ctest --test-dir "$build" --output-on-failure "$@" >"$logs/run-$run.log" 2>&1; then
    echo "run $run of $runs: passed (load $load at its start)"
  else
    echo "run $run of $runs: FAILED (load $load at its start); see $logs/run-$run.log"
    failed=$((failed + 1))
  fi
  wine_env_stop
done
[ "$failed" -eq 0 ] || { echo "$failed of $runs busy runs failed"; exit 1; }
echo "all $runs busy runs passed"
