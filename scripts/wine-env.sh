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

# Waits for the window of the Sorvane started as <pid> and for its first batch
# to end, and prints the window's X id. The batch has ended when the status
# line and progress bar (the lower right of the window) stop changing. Fails,
# naming <log>, when no window appears within 60 s.
wine_await_first_batch() {
  local pid=$1 log=$2 window geometry width height crop previous="" current stable=0 attempt
  window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tavolin Sorvane$' | head -n 1) || true
  if [ -z "$window" ]; then
    echo "The Sorvane window did not appear within 60 s; the program's output is in $log." >&2
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  geometry=$(xdotool getwindowgeometry --shell "$window")
  width=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
  height=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
  crop="$((width * 2 / 5))x$((height * 3 / 10))+$((width * 3 / 5))+$((height * 7 / 10))"
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
  echo "$window"
}
