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
