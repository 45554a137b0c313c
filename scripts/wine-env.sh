# Sourced by the scripts that run Windows programs: a display of our own and a
# Wine prefix of our own, both torn down by wine_env_stop.
#   wine_env_start <prefix-dir>   starts Xvfb (unless keep_display=1 and DISPLAY
#                                 is set) and prepares the prefix
#   wine_env_stop                 shuts the wineserver and Xvfb down

wine_env_start() {
  export WINEPREFIX="$1"
  export WINEARCH=win64
  export WINEDEBUG="${WINEDEBUG:--all,err+module}"
  export WINEDLLOVERRIDES="mscoree,mshtml="
  WINE_ENV_XVFB_PID=""
  if [ "${keep_display:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    WINE_ENV_XVFB_PID=$!
    local number
    read -r number <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$number"
  fi
  mkdir -p "$WINEPREFIX"
  wineserver -p
  wineboot -i >/dev/null 2>&1
  # Without a window manager every hide of a visible window would wait 2 s, and
  # a crash would open a modal dialog that hangs the run. On the user's own
  # display the window manager frames the windows as usual.
  if [ -n "$WINE_ENV_XVFB_PID" ]; then
    wine_reg_add 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N
  fi
  wine_reg_add 'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0
  wine_env_fonts
}

# Debian's Wine does not find the fonts it ships, so every face falls back to
# a wider one and dialog texts are cut off. Installing them in the prefix, and
# mapping the dialog's face to the bitmap font Windows maps it to, gives the
# metrics the dialog was laid out with.
wine_env_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" source=/usr/share/wine/fonts file
  [ -d "$source" ] || return 0
  mkdir -p "$fonts"
  for file in sserife.fon sseriff.fon tahoma.ttf tahomabd.ttf ms_sans_serif.ttf marlett.ttf; do
    [ -f "$source/$file" ] && cp -f "$source/$file" "$fonts/"
  done
  wine_reg_add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    'Microsoft Sans Serif' REG_SZ 'MS Sans Serif'
}

# A `reg add` has been seen to fail silently once: verify and retry.
wine_reg_add() {
  local key=$1 name=$2 type=$3 data=$4 attempt
  for attempt in 1 2 3; do
    wine reg add "$key" /v "$name" /t "$type" /d "$data" /f >/dev/null 2>&1 </dev/null
    if wine reg query "$key" /v "$name" 2>/dev/null </dev/null | grep -q "$name"; then
      return 0
    fi
  done
  echo "could not set $key\\$name" >&2
  return 1
}

# Prints the lines in which Wine reported that the program whose output is in
# <log> crashed, and answers whether there were any. Some crashes end with
# exit status 0 under this set-up, so a status alone never shows one.
wine_crash_lines() {
  grep -a -E '^(wine: Unhandled|Unhandled exception:|wine: .*stack overflow)' "$1"
}

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then
    kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    WINE_ENV_XVFB_PID=""
  fi
}

# Retries <command...> until it succeeds, a fifth of a second apart, and fails
# when <seconds> have passed without success. A check that follows an action
# waits so for the state the action leads to, with a bound far above any
# honest delay: a busy machine makes a run slower, only a fault makes it fail.
await() {
  local seconds=$1 start=$SECONDS
  shift
  until "$@"; do
    [ $((SECONDS - start)) -lt "$seconds" ] || return 1
    sleep 0.2
  done
}

# Runs <probe> (tests/e2e/list_names.exe) against the Sorvane on show and
# writes what it read to <file>, without the CR of Windows lines. Into a file:
# a Wine process may hand its output on to one that stays. Fails when the
# probe found no program or crashed.
wine_probe() {
  local probe=$1 file=$2 status
  wine "$probe" </dev/null >"$file.raw" 2>&1
  status=$?
  tr -d '\r' <"$file.raw" >"$file"
  ! wine_crash_lines "$file.raw" >/dev/null && [ "$status" -eq 0 ]
}

# Answers whether <probe> finds the batch of the Sorvane on show over, and
# leaves what it read in <file>. Only the end of a batch gives both a status
# line that counts the passwords created and "Generate!" enabled again (before
# the first batch the status line tells of the word list).
wine_batch_ended() {
  wine_probe "$1" "$2" &&
    grep -qE $'^status\t[0-9]+ password[(]s[)] created' "$2" && grep -qx $'generate\tenabled' "$2"
}

# Waits for the window of the Sorvane started as <pid> and for its first batch
# to end, as <probe> reads it, and prints the window's X id. Fails, naming
# <log>, when no window appears or no batch ends within 120 s.
wine_await_first_batch() {
  local pid=$1 log=$2 probe=$3 window state
  window=$(timeout 120 xdotool search --sync --onlyvisible --name '^Tavolin Sorvane$' | head -n 1) || true
  state=$(mktemp)
  if [ -z "$window" ] || ! await 120 wine_batch_ended "$probe" "$state"; then
    echo "The Sorvane window or its first batch did not appear within 120 s; the program's output is in $log." >&2
    rm -f "$state" "$state.raw"
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  rm -f "$state" "$state.raw"
  echo "$window"
}
