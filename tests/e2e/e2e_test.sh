#!/usr/bin/env bash
# Drives the real sorvane.exe under Wine as a person would, with X input:
# it opens, its first batch fills the list, keys change options, Escape and
# Enter close it, and the options it leaves in the registry survive a restart.
# "Copy" leaves the password on the clipboard, marked as kept out of history,
# and the save link writes the list through the save dialog. Resting the
# pointer on a cut-off cell shows its whole text in a tip.
# Runs inside the Wine prefix and display that the test script prepared.
#   e2e_test.sh <path of sorvane.exe> <path of list_names.exe>
set -u
exe=$1
list_names=$2
key='HKCU\SOFTWARE\Tavolin\Sorvane'
work=$(mktemp -d)
source "$(dirname "$0")/../../scripts/wine-env.sh"
pid=""
failures=0

cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The six values as "name=number" lines, sorted.
stored_values() {
  local name type data
  # Into a file: a Wine process may pass its output on to a background
  # process, and a pipe would then never close.
  wine reg query "$key" </dev/null >"$work/reg.txt" 2>/dev/null
  tr -d '\r' <"$work/reg.txt" |
    while read -r name type data; do
      [ "$type" = REG_DWORD ] && echo "$name=$((data))"
    done | sort
}

start_program() {
  wine "$exe" "$@" </dev/null >"$work/out.txt" 2>&1 &
  pid=$!
  window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tavolin Sorvane$' | head -n 1)
  [ -n "$window" ] || { fail "the window did not open"; return 1; }
  # Keyboard focus follows the pointer here.
  xdotool mousemove --window "$window" 60 40
  sleep 0.5
}

# The current password as a user would take it: back into the first box
# (the dialog selects its whole text), then Ctrl+C.
copy_current_password() {
  xdotool key Tab shift+Tab ctrl+c
  sleep 0.3
  xclip -o -selection clipboard 2>/dev/null
}

# The first batch has ended when the shown password stays the same.
wait_for_batch() {
  local pattern=$1 previous="" current attempt
  for attempt in $(seq 1 60); do
    current=$(copy_current_password)
    if [[ "$current" =~ $pattern ]] && [ "$current" = "$previous" ]; then
      echo "$current"
      return 0
    fi
    previous=$current
    sleep 0.5
  done
  return 1
}

# Waits for the program to end and checks its exit code, and that Wine
# reported no crash (some end with status 0 here).
expect_exit() {
  local expected=$1 status crash
  wait "$pid"
  status=$?
  pid=""
  [ "$status" -eq "$expected" ] || fail "exit code $status, expected $expected"
  crash=$(wine_crash_lines "$work/out.txt") && fail "the program crashed: $crash"
}

# A delete has been seen to leave the last run's options: verify and retry.
for attempt in 1 2 3; do
  wine reg delete "$key" /f </dev/null >/dev/null 2>&1
  wine reg query "$key" </dev/null >/dev/null 2>&1 || break
done
printf 'cleared\n' | xclip -i -selection clipboard >/dev/null 2>&1

echo "first start: defaults, a first batch, then options changed with the keyboard"
start_program ignored arguments || exit 1
password=$(wait_for_batch '^[2-9a-hjkmnp-zA-HJ-NP-Z]{10}$') ||
  fail "no batch of ten-character passwords appeared"
echo "  shown: $password"
# From the first box: Copy, Phonetics, the list, then the length box whose
# arrows answer the Up key. Back again past the first box, round to "Close",
# and back over "Generate!", the count and the second check box to the first.
# (Forwards from the length box Wine's dialog manager also stops on the
# checked type radio, which Windows does not; backwards the two agree.)
xdotool key Tab Tab Tab Tab Up Up Up
sleep 0.3
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab \
  shift+Tab space
sleep 0.3
xdotool key Escape
expect_exit 2
expected=$'Case=2\nCount=10\nExcludeDuplicate=1\nExcludeSimilar=0\nPasswordLen=13\nType=3'
[ "$(stored_values)" = "$expected" ] || fail "stored after Escape: $(stored_values | tr '\n' ' ')"

echo "second start: the changed options are back"
start_program || exit 1
password=$(wait_for_batch '^[0-9a-zA-Z]{13}$') || fail "no batch of 13-character passwords"
echo "  shown: $password"
xdotool key Return
expect_exit 1
[ "$(stored_values)" = "$expected" ] || fail "stored after Enter: $(stored_values | tr '\n' ' ')"

echo "third start: copy the password, save the list through the save dialog"
wine reg add "$key" /v Count /t REG_DWORD /d 3 /f </dev/null >/dev/null 2>&1
start_program || exit 1
password=$(wait_for_batch '^[0-9a-zA-Z]{13}$') || fail "no batch of three passwords"
printf 'cleared\n' | xclip -i -selection clipboard >/dev/null 2>&1
# From the first box the next tab stop is "Copy".
xdotool key Tab space
sleep 0.5
copied=$(timeout 5 xclip -o -selection clipboard 2>/dev/null)
[ "$copied" = "$password" ] || fail "clipboard holds '$copied', expected '$password'"
targets=$(timeout 5 xclip -o -selection clipboard -t TARGETS 2>/dev/null)
for mark in CanIncludeInClipboardHistory CanUploadToCloudClipboard; do
  grep -qx "$mark" <<<"$targets" || fail "the clipboard lacks $mark"
  value=$(timeout 5 xclip -o -selection clipboard -t "$mark" 2>/dev/null | od -An -tx1 | tr -d ' \n')
  [ "$value" = 00000000 ] || fail "$mark holds '$value', expected four zero bytes"
done

# The save link's text lies 72 pixels above the window's lower edge, from 23
# pixels in (dialog units 13 to 113 across and 248 to 256 down, of 295).
height=$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^HEIGHT=//p')
xdotool mousemove --window "$window" 50 $((height - 72))
sleep 0.3
xdotool click 1
save=$(timeout 30 xdotool search --sync --onlyvisible --name '^Save As$' | head -n 1)
if [ -z "$save" ]; then
  fail "clicking the save link opened no save dialog"
else
  saved="$WINEPREFIX/drive_c/saved.txt"
  rm -f "$saved"
  xdotool mousemove --window "$save" 20 20
  sleep 0.5
  # Typed without extension: the dialog adds ".txt".
  xdotool type --delay 20 'C:\saved'
  xdotool key Return
  for attempt in $(seq 1 50); do
    [ -s "$saved" ] && break
    sleep 0.2
  done
  head -c 30 "$saved" | cmp -s - <(printf 'Password\tEntropy\tPhonetics\r\n\r\n') ||
    fail "the saved file does not start with the header and an empty line"
  [ "$(wc -l <"$saved")" -eq 5 ] || fail "the saved file has $(wc -l <"$saved") lines, expected 5"
  rows=$(tail -n +3 "$saved" | grep -cE $'^[0-9a-zA-Z]{13}\t[0-9]+ bit\t[a-zA-Z -]+\r$')
  [ "$rows" -eq 3 ] || fail "$rows of the saved rows are password, entropy and spelling"
  [ "$(tail -n 1 "$saved" | cut -f 1)" = "$password" ] || fail "the last saved row is not the one shown"
fi
xdotool mousemove --window "$window" 60 40
sleep 0.3
xdotool key Escape
expect_exit 2

echo "fourth start: rows chosen by mouse and keys are shown, and a title moves its column"
start_program || exit 1
password=$(wait_for_batch '^[0-9a-zA-Z]{13}$') || fail "no batch of three passwords"
# Window coordinates of the "Copy" button, the list's rows and its titles
# (the dialog is laid out in dialog units; these are its pixels here).
copy_x=276 copy_y=101 rows_x=70 title_y=237
row_y() { echo $((256 + 19 * $1)); }
# The password on show, as "Copy" puts it on the clipboard.
shown() {
  printf 'cleared\n' | xclip -i -selection clipboard >/dev/null 2>&1
  xdotool mousemove --window "$window" $copy_x $copy_y click 1
  sleep 0.4
  timeout 5 xclip -o -selection clipboard 2>/dev/null
}
# Clicks a row; clicking the one already selected gives the list the keys back.
click_row() {
  xdotool mousemove --window "$window" $rows_x "$(row_y "$1")" click 1
  sleep 0.3
}
newest=$password
click_row 0
first=$(shown)
[[ "$first" =~ ^[0-9a-zA-Z]{13}$ && "$first" != "$newest" ]] ||
  fail "clicking the first row shows '$first'"
click_row 0
xdotool key Down
sleep 0.3
second=$(shown)
[[ "$second" =~ ^[0-9a-zA-Z]{13}$ && "$second" != "$first" && "$second" != "$newest" ]] ||
  fail "Down from the first row shows '$second'"
click_row 1
xdotool key Down
sleep 0.3
[ "$(shown)" = "$newest" ] || fail "Down to the last row does not show the newest password"

# Resting the pointer on a cut-off phonetics cell shows its whole text in a
# tip, a window of its own named by that text, laid over the cell's text: 4
# pixels left of it (the text starts at 184 across), as high as the row. Moving
# away hides it; a click on the tip is a click on the row beneath.
tip_x=180 row_height=19
visible_tip() {
  xdotool search --onlyvisible --name '^[a-zA-Z]+( - [a-zA-Z]+)+$' 2>/dev/null | head -n 1
}
rest_on_phonetics() {
  local attempt
  xdotool mousemove --window "$window" 250 "$(row_y "$1")"
  for attempt in $(seq 1 20); do
    sleep 0.2
    tip=$(visible_tip)
    [ -n "$tip" ] && return 0
  done
  return 1
}
click_row 1
row_one=$(shown)
click_row 0
if ! rest_on_phonetics 1; then
  fail "resting on a cut-off phonetics cell shows no tip"
else
  eval "$(xdotool getwindowgeometry --shell "$window" | sed 's/^/main_/')"
  eval "$(xdotool getwindowgeometry --shell "$tip" | sed 's/^/tip_/')"
  place="$((tip_X - main_X)),$((tip_Y - main_Y)) ${tip_WIDTH}x$tip_HEIGHT"
  [ $((tip_X - main_X)) -eq $tip_x ] && [ $((tip_Y - main_Y)) -eq $(($(row_y 1) - 11)) ] &&
    [ "$tip_HEIGHT" -eq $row_height ] && [ "$tip_WIDTH" -gt 200 ] ||
    fail "the tip lies at $place, not over the second row's phonetics"
  xdotool mousemove --window "$window" 60 40
  sleep 0.5
  [ -z "$(visible_tip)" ] || fail "the tip stays after the pointer has left it"
  rest_on_phonetics 1 && xdotool click 1
  sleep 0.3
  [ "$(shown)" = "$row_one" ] || fail "a click on the tip does not select the row beneath"
fi

# "Phonetics" dragged onto the left half of "Password" becomes the first
# column: the titles at the left change, a screen reader reads the titles and
# each row's cells in the new order, and nothing is sorted.
header_picture() {
  xdotool mousemove --window "$window" 300 20
  sleep 0.5
  import -window "$window" -crop 60x14+24+230 rgb:- 2>/dev/null | md5sum
}
# The list as a screen reader reads it: "row" or "title", a tab, the name.
read_list() {
  wine "$list_names" </dev/null >"$work/names.txt" 2>&1 || return 1
  wine_crash_lines "$work/names.txt" >/dev/null && return 1
  tr -d '\r' <"$work/names.txt"
}
titles() { read_list | sed -n 's/^title\t//p' | paste -sd ,; }
[ "$(titles)" = "Password,Entropy,Phonetics" ] || fail "the titles before the drag are '$(titles)'"
before=$(header_picture)
xdotool mousemove --window "$window" 230 $title_y
sleep 0.3
xdotool mousedown 1
for x in 220 190 150 110 70 40 35; do
  xdotool mousemove --window "$window" $x $title_y
  sleep 0.1
done
sleep 0.3
xdotool mouseup 1
sleep 0.5
[ "$(header_picture)" != "$before" ] || fail "dragging the Phonetics title moved no column"
[ "$(titles)" = "Phonetics,Password,Entropy" ] || fail "after the drag the titles are '$(titles)'"
first_row=$(read_list | sed -n 's/^row\t//p' | head -n 1)
[[ "$first_row" =~ ^[a-zA-Z]+( - [a-zA-Z]+)*,\ [0-9a-zA-Z]{13},\ [0-9]+\ bit$ ]] ||
  fail "after the drag the first row reads '$first_row'"
click_row 2
[ "$(shown)" = "$newest" ] || fail "the drag reordered the rows"
xdotool mousemove --window "$window" 60 40
sleep 0.3
xdotool key Escape
expect_exit 2

if [ "$failures" -ne 0 ]; then
  echo "$failures end-to-end check(s) failed"
  exit 1
fi
echo "end-to-end checks passed"
