# Sourced by the project's scripts: the Wine environment of one build tree.
# Needs BUILD_DIR. One prefix per build tree, made once.
export WINEPREFIX="$BUILD_DIR/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export WINEARCH=win64

# Makes the prefix when it is missing (about 10 s, no display needed).
wine_prefix_init() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== Making the Wine prefix in $WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w
  fi
}

# Starts the Wine server once with its stdio away from any pipe we wait on, so
# each later Wine process starts in a fraction of a second.
wine_server_start() {
  wineserver -p </dev/null >/dev/null 2>&1 || true  # 2: already running
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

wine_server_stop() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
}

# Starts Xvfb on a free display unless one is given; sets DISPLAY and XVFB_PID.
# XVFB_SCREEN sets its size (default 1024x768x24).
xvfb_start() {
  XVFB_PID=
  if [ -n "${DISPLAY:-}" ] && [ "${PELLARO_OWN_DISPLAY:-0}" != 1 ]; then return 0; fi
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp </dev/null >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  local i=0
  while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
}

xvfb_stop() {
  if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}

# The place of Wine desktop NAME on the X screen, to add to its windows'
# places: sets dx and dy (0 when it is not found).
wine_desktop_offset() {
  dx=0 dy=0
  local window
  window=$(xdotool search --name "^$1 - Wine desktop\$" 2>/dev/null </dev/null | head -n 1 || true)
  if [ -n "$window" ]; then
    eval "$(xdotool getwindowgeometry --shell "$window" </dev/null | grep -E '^[XY]=')"
    dx=${X:-0} dy=${Y:-0}
  fi
}
