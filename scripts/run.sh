#!/usr/bin/env bash
# Builds Sorvane for Windows and starts it under Wine.
# With a display (DISPLAY set) the program opens there and this script waits
# for it to close. Without one it runs in Xvfb, waits for the first batch,
# saves a screenshot as build/windows/sorvane.png and closes the program.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target sorvane
exe="$root/build/windows/app/sorvane.exe"

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
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tavolin Sorvane$' | head -n 1) || true
if [ -z "$window" ]; then
  echo "The Sorvane window did not appear within 60 s; the program's output is in" \
    "build/windows/sorvane-run.log." >&2
  kill "$pid" 2>/dev/null || true
  exit 1
fi

# The batch has ended when the status line and progress bar (the lower right
# of the window) stop changing.
geometry=$(xdotool getwindowgeometry --shell "$window")
width=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
height=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
crop="$((width * 2 / 5))x$((height * 3 / 10))+$((width * 3 / 5))+$((height * 7 / 10))"
previous=""
stable=0
for attempt in $(seq 1 120); do
  sleep 0.25
  current=$(import -window "$window" -crop "$crop" rgb:- 2>/dev/null | md5sum)
  if [ "$current" = "$previous" ]; then
    stable=$((stable + 1))
    [ "$stable" -ge 4 ] && break
  else
    stable=0
  fi
  previous=$current
done

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
