#!/usr/bin/env bash
# Sorvane on a screen at 150 percent (144 DPI), in a Wine prefix of its own:
# the list's and the dialog's tests of the sizes at that scale, then the
# program itself, photographed after a batch of twenty with a row selected.
#
#   tests/dpi/run-at-144-dpi.sh [build-folder] [screenshot.png]
#
# The build folder is a Windows build with the tests (default build/windows);
# the screenshot goes to build-folder/sorvane-144dpi.png unless named.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=$(realpath "${1:-build/windows}")
shot=${2:-$build/sorvane-144dpi.png}

source scripts/wine-env.sh
trap wine_env_stop EXIT
prefix="$build/wineprefix-144dpi"
rm -rf "$prefix"
wine_env_start "$prefix"
# Wine reads the screen's DPI when its server starts.
wine_reg_add 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD 144
wineserver -k
wineserver -w
wineserver -p

# The tests of the scale check the sizes for whatever DPI they find; told
# the DPI to expect, they fail first if the screen is at another.
export SORVANE_TEST_DPI=144
"$root/scripts/wine-gtest" "$build/tests/listctrl/list_window_tests.exe" --gtest_brief=1 \
  --gtest_filter='ListWindowTest.FollowsTheScaleOfItsScreenAndItsChanges:ListImagesForDpi.*'
"$root/scripts/wine-gtest" "$build/tests/app/app_tests.exe" --gtest_brief=1 \
  --gtest_filter='ManifestSettings.TheDialogStartsAtItsScreensScale'

# The photograph: twenty passwords, the third row selected, as the 96-DPI
# one in the README.
wine_reg_add 'HKCU\SOFTWARE\Tavolin\Sorvane' Count REG_DWORD 20
wine "$build/app/sorvane.exe" </dev/null >"$build/sorvane-144dpi.log" 2>&1 &
pid=$!
window=$(wine_await_first_batch "$pid" "$build/sorvane-144dpi.log" "$build/tests/e2e/list_names.exe")
geometry=$(xdotool getwindowgeometry --shell "$window")
width=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
height=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
# The third row lies at the same share of the window as at 96 DPI.
xdotool mousemove --window "$window" $((width * 14 / 100)) $((height * 58 / 100)) click 1
sleep 1
import -window "$window" "$shot"
xdotool mousemove --window "$window" $((width / 2)) $((height / 10))
sleep 0.3
xdotool key Escape
status=0
wait "$pid" || status=$?
if crash=$(wine_crash_lines "$build/sorvane-144dpi.log"); then
  echo "Sorvane crashed at 144 DPI: $crash" >&2
  exit 1
fi
[ "$status" -eq 2 ] || { echo "Sorvane ended with $status at 144 DPI, expected 2" >&2; exit 1; }
echo "Screenshot at 144 DPI: $shot"
