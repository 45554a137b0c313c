#!/usr/bin/env bash
# Builds Sorvane for Windows and starts it under Wine.
# With a display (DISPLAY set) the program opens there and this script waits
# for it to close. Without one it runs in Xvfb, waits for the first batch,
# saves a screenshot as build/windows/sorvane.png and closes the program.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh
# The probe that reads the dialog from outside comes with the tests.
cmake --preset windows -DSORVANE_TESTS=ON >/dev/null
cmake --build --preset windows --target sorvane list_names
exe="$root/build/windows/app/sorvane.exe"
probe="$root/build/windows/tests/e2e/list_names.exe"

source scripts/wine-env.sh
trap wine_env_stop EXIT

if [ -n "${DISPLAY:-}" ]; then
  # The options persist in this prefix from one run to the next.
  keep_display=1 wine_env_start "$root/build/windows/run-prefix"
  set +e
  wine "$exe" </dev/null
  status=$?
  set -e
  echo "Sorvane closed with exit code $status."
  exit 0
fi

wine_env_start "$root/build/windows/shot-prefix"
wine "$exe" </dev/null >"$root/build/windows/sorvane-run.log" 2>&1 &
pid=$!
window=$(wine_await_first_batch "$pid" build/windows/sorvane-run.log "$probe")

shot="$root/build/windows/sorvane.png"
import -window "$window" "$shot"
xdotool mousemove --window "$window" 60 40
sleep 0.3
xdotool key Escape
set +e
wait "$pid"
status=$?
set -e
echo "Screenshot of the first batch: $shot"
echo "Sorvane closed with exit code $status."
