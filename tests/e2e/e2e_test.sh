#!/usr/bin/env bash
# Drives the real sorvane.exe under Wine as a person would, with X input:
# it opens, its first batch fills the list, keys change options, Escape and
# Enter close it, and the options it leaves in the registry survive a restart.
# "Copy" leaves the password on the clipboard, marked as kept out of history,
# and the save link writes the list through the save dialog. Resting the
# pointer on a cut-off cell shows its whole text in a tip.
# Every check after an action waits for the state the action leads to (see
# await), so a busy machine makes the run slower but no check weaker.
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
# Seconds to wait for a state: far above any honest delay.
limit=60

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

# Runs list_names and answers whether each <pattern> (an extended regular
# expression) matches a whole line of what it read (kept in probe.txt).
probe_shows() {
  local pattern
  wine_probe "$list_names" "$work/probe.txt"
  for pattern; do
    grep -qE "^($pattern)\$" "$work/probe.txt" || return 1
  done
}

# The list as a screen reader reads it: "row" or "title", a tab, the name.
read_list() { wine_probe "$list_names" "$work/probe.txt" && grep -E $'^(row|title)\t' "$work/probe.txt"; }
titles() { read_list | sed -n 's/^title\t//p' | paste -sd ,; }
titles_are() { [ "$(titles)" = "$1" ]; }

# Where window <id> lies in the dialog: "x,y widthxheight".
place_of() {
  local X Y WIDTH HEIGHT SCREEN WINDOW left top
  eval "$(xdotool getwindowgeometry --shell "$window")"
  left=$X top=$Y
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$((X - left)),$((Y - top)) ${WIDTH}x$HEIGHT"
}

# Moves the pointer to <x>,<y> of window <id> and waits until it is there:
# keys go to the window under it, and a click lands where it is. (--sync can
# block for long when the pointer is there already.)
point() {
  xdotool mousemove --window "$1" "$2" "$3"
  await $limit pointer_at "$@"
}
pointer_at() {
  local X Y WIDTH HEIGHT SCREEN WINDOW left top
  eval "$(xdotool getwindowgeometry --shell "$1")"
  left=$((X + $2)) top=$((Y + $3))
  eval "$(xdotool getmouselocation --shell)"
  [ "$X,$Y" = "$left,$top" ]
}

start_program() {
  wine "$exe" "$@" </dev/null >"$work/out.txt" 2>&1 &
  pid=$!
  window=$(timeout 120 xdotool search --sync --onlyvisible --name '^Tavolin Sorvane$' | head -n 1)
  [ -n "$window" ] || { fail "the window did not open"; return 1; }
  point "$window" 60 40
}

# Puts a marker of its own on the clipboard and waits until Windows programs
# see it too: Wine takes an X clipboard over later, by itself, and would then
# overwrite whatever the program had copied meanwhile.
mark_clipboard() {
  marker="cleared $(date +%s%N)"
  printf '%s' "$marker" | xclip -i -selection clipboard >/dev/null 2>&1
  await $limit probe_shows $'clipboard\t'"$marker" || echo "  the clipboard's marker did not reach Wine" >&2
}
# Prints the clipboard's text once a copy has replaced the marker.
copied_text() { await $limit clipboard_changed && printf '%s\n' "$clip"; }
clipboard_changed() {
  clip=$(timeout 10 xclip -o -selection clipboard 2>/dev/null) && [ -n "$clip" ] && [ "$clip" != "$marker" ]
}

# The batch is over (as list_names reads it), and the first box has the keys.
ready_for_keys() {
  wine_batch_ended "$list_names" "$work/probe.txt" &&
    grep -qx $'focus\tTavolin Sorvane\t1000' "$work/probe.txt"
}

# Waits for the first batch to end, then takes the password on show as a user
# would: back into the first box (the dialog selects its whole text), then
# Ctrl+C. Prints it when it matches <pattern> and is the list's newest row.
wait_for_batch() {
  local pattern=$1 newest copied
  if ! await $limit ready_for_keys; then
    echo "  read at the end: $(tr '\n' ' ' <"$work/probe.txt")" >&2
    return 1
  fi
  newest=$(sed -n 's/^row\t\([^,]*\),.*/\1/p' "$work/probe.txt" | tail -n 1)
  mark_clipboard
  xdotool key Tab shift+Tab ctrl+c
  copied=$(copied_text)
  echo "  shown: $copied" >&2
  [[ "$copied" =~ $pattern ]] && [ "$copied" = "$newest" ] && echo "$copied"
}

# Waits for the program to end and checks its exit code, and that Wine
# reported no crash (some end with status 0 here).
program_ended() { ! kill -0 "$pid" 2>/dev/null; }
expect_exit() {
  local expected=$1 status crash
  await $limit program_ended || { fail "the program did not end"; kill "$pid"; }
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

echo "first start: defaults, a first batch, then options changed with the keyboard"
start_program ignored arguments || exit 1
password=$(wait_for_batch '^[2-9a-hjkmnp-zA-HJ-NP-Z]{10}$') ||
  fail "no batch of ten-character passwords ended with the newest on show"
# From the first box: Copy, Phonetics, the list, then the length box whose
# arrows answer the Up key. Back again past the first box, round to "Close",
# and back over "Generate!", the count and the second check box to the first.
# (Forwards from the length box Wine's dialog manager also stops on the
# checked type radio, which Windows does not; backwards the two agree.)
# The dialog takes keys in order, so only the end needs waiting for.
xdotool key Tab Tab Tab Tab Up Up Up
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab \
  shift+Tab space
xdotool key Escape
expect_exit 2
expected=$'Case=2\nCount=10\nExcludeDuplicate=1\nExcludeSimilar=0\nPasswordLen=13\nType=3'
[ "$(stored_values)" = "$expected" ] || fail "stored after Escape: $(stored_values | tr '\n' ' ')"

echo "second start: the changed options are back"
start_program || exit 1
password=$(wait_for_batch '^[0-9a-zA-Z]{13}$') || fail "no batch of 13-character passwords"
xdotool key Return
expect_exit 1
[ "$(stored_values)" = "$expected" ] || fail "stored after Enter: $(stored_values | tr '\n' ' ')"

echo "third start: copy the password, save the list through the save dialog"
wine_reg_add "$key" Count REG_DWORD 3
start_program || exit 1
password=$(wait_for_batch '^[0-9a-zA-Z]{13}$') || fail "no batch of three passwords"
mark_clipboard
# From the first box the next tab stop is "Copy".
xdotool key Tab space
copied=$(copied_text)
[ "$copied" = "$password" ] || fail "clipboard holds '$copied', expected '$password'"
targets=$(timeout 10 xclip -o -selection clipboard -t TARGETS 2>/dev/null)
for mark in CanIncludeInClipboardHistory CanUploadToCloudClipboard; do
  grep -qx "$mark" <<<"$targets" || fail "the clipboard lacks $mark"
  value=$(timeout 10 xclip -o -selection clipboard -t "$mark" 2>/dev/null | od -An -tx1 | tr -d ' \n')
  [ "$value" = 00000000 ] || fail "$mark holds '$value', expected four zero bytes"
done

# The save link's text lies 72 pixels above the window's lower edge, from 23
# pixels in (dialog units 13 to 113 across and 248 to 256 down, of 295).
height=$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^HEIGHT=//p')
point "$window" 50 $((height - 72))
xdotool click 1
save=$(timeout $limit xdotool search --sync --onlyvisible --name '^Save As$' | head -n 1)
if [ -z "$save" ]; then
  fail "clicking the save link opened no save dialog"
else
  saved="$WINEPREFIX/drive_c/saved.txt"
  rm -f "$saved"
  point "$save" 20 20
  # Typed once its file-name box (1148) has the keys.
  await $limit probe_shows $'focus\tSave As\t1148' || fail "the save dialog's file name box has no focus"
  # Typed without extension: the dialog adds ".txt". The program writes a
  # file of its own and then moves it into place, so it appears whole.
  xdotool type --delay 20 'C:\saved'
  xdotool key Return
  if ! await $limit test -s "$saved"; then
    fail "the save dialog saved no file"
  else
    head -c 30 "$saved" | cmp -s - <(printf 'Password\tEntropy\tPhonetics\r\n\r\n') ||
      fail "the saved file does not start with the header and an empty line"
    [ "$(wc -l <"$saved")" -eq 5 ] || fail "the saved file has $(wc -l <"$saved") lines, expected 5"
    rows=$(tail -n +3 "$saved" | grep -cE $'^[0-9a-zA-Z]{13}\t[0-9]+ bit\t[a-zA-Z -]+\r$')
    [ "$rows" -eq 3 ] || fail "$rows of the saved rows are password, entropy and spelling"
    [ "$(tail -n 1 "$saved" | cut -f 1)" = "$password" ] || fail "the last saved row is not the one shown"
  fi
fi
point "$window" 60 40
await $limit probe_shows $'focus\tTavolin Sorvane\t[0-9-]+' || fail "the dialog is not active again"
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
  mark_clipboard
  point "$window" $copy_x $copy_y
  xdotool click 1
  copied_text
}
# Clicks a row; clicking the one already selected gives the list the keys back.
click_row() {
  point "$window" $rows_x "$(row_y "$1")"
  xdotool click 1
}
newest=$password
click_row 0
first=$(shown)
[[ "$first" =~ ^[0-9a-zA-Z]{13}$ && "$first" != "$newest" ]] ||
  fail "clicking the first row shows '$first'"
click_row 0
xdotool key Down
second=$(shown)
[[ "$second" =~ ^[0-9a-zA-Z]{13}$ && "$second" != "$first" && "$second" != "$newest" ]] ||
  fail "Down from the first row shows '$second'"
click_row 1
xdotool key Down
[ "$(shown)" = "$newest" ] || fail "Down to the last row does not show the newest password"

# Resting the pointer on a cut-off phonetics cell shows its whole text in a
# tip, a window of its own named by that text, laid over the cell's text: 4
# pixels left of it (the text starts at 184 across), as high as the row. Moving
# away hides it; a click on the tip is a click on the row beneath.
tip_x=180 row_height=19
visible_tip() {
  xdotool search --onlyvisible --name '^[a-zA-Z]+( - [a-zA-Z]+)+$' 2>/dev/null | head -n 1
}
tip_shown() { tip=$(visible_tip) && [ -n "$tip" ]; }
tip_gone() { [ -z "$(visible_tip)" ]; }
rest_on_phonetics() {
  point "$window" 250 "$(row_y "$1")"
  await $limit tip_shown
}
click_row 1
row_one=$(shown)
click_row 0
if ! rest_on_phonetics 1; then
  fail "resting on a cut-off phonetics cell shows no tip"
else
  place=$(place_of "$tip")
  [[ "$place" =~ ^$tip_x,$(($(row_y 1) - 11))\ ([0-9]+)x$row_height$ ]] &&
    [ "${BASH_REMATCH[1]}" -gt 200 ] || fail "the tip lies at $place, not over the second row's phonetics"
  point "$window" 60 40
  await $limit tip_gone || fail "the tip stays after the pointer has left it"
  rest_on_phonetics 1 && xdotool click 1
  [ "$(shown)" = "$row_one" ] || fail "a click on the tip does not select the row beneath"
fi

# "Phonetics" dragged onto the left half of "Password" becomes the first
# column: while the button is down a marker stands at the left end of the
# titles, then the titles at the left change, a screen reader reads the
# titles and each row's cells in the new order, and nothing is sorted.
# The titles' text as black and white, so that the pointer's highlight and a
# pressed title do not count.
header_text() {
  import -window "$window" -crop 60x14+24+230 png:- 2>/dev/null |
    convert - -threshold 50% "rgb:$1" 2>/dev/null
}
header_changed() { header_text "$work/after.rgb" && ! cmp -s "$work/before.rgb" "$work/after.rgb"; }
# The marker is a window of its own: 7 pixels left of the list's left edge
# (22 across), 10 above the titles (226 down), 12 wide and 20 taller than
# the titles.
marker_at_first() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
    [ "$(place_of "$id")" = "15,216 12x39" ] && return 0
  done
  return 1
}
# The passwords of the rows, in the order the list shows them.
passwords() { read_list | sed -n 's/^row\t//p' | grep -oE '[0-9a-zA-Z]{13}' | paste -sd ' '; }
await $limit titles_are "Password,Entropy,Phonetics" || fail "the titles before the drag are '$(titles)'"
order=$(passwords)
header_text "$work/before.rgb" || fail "no picture of the titles"
point "$window" 230 $title_y
xdotool mousedown 1
for x in 220 190 150 110 70 40; do
  xdotool mousemove --window "$window" $x $title_y
done
point "$window" 35 $title_y
await $limit marker_at_first || fail "dragging the Phonetics title shows no marker before the first"
xdotool mouseup 1
await $limit titles_are "Phonetics,Password,Entropy" || fail "after the drag the titles are '$(titles)'"
await $limit header_changed || fail "dragging the Phonetics title moved no column"
first_row=$(read_list | sed -n 's/^row\t//p' | head -n 1)
[[ "$first_row" =~ ^[a-zA-Z]+( - [a-zA-Z]+)*,\ [0-9a-zA-Z]{13},\ [0-9]+\ bit$ ]] ||
  fail "after the drag the first row reads '$first_row'"
click_row 2
[ "$(passwords)" = "$order" ] && [ "$(shown)" = "$newest" ] || fail "the drag reordered the rows"
point "$window" 60 40
xdotool key Escape
expect_exit 2

if [ "$failures" -ne 0 ]; then
  echo "$failures end-to-end check(s) failed"
  exit 1
fi
echo "end-to-end checks passed"
