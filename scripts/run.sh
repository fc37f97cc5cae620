#!/bin/bash
# The run command: builds Pellaro, then compiles one Java file with it
# (`Pellaro.exe -c`) using the machine's own JDK through the bridge in jdkbridge/.
#
#   bash scripts/run.sh [file.java]      default samples/Bad.java; a path
#                                        relative to the repo, or absolute
#
# With a display (DISPLAY set) Pellaro runs there until its window is closed.
# Without one it runs in its own Xvfb, inside a Wine virtual desktop so the
# window has a caption; the script saves a PNG of the result window, prints its
# path and the window's text, then closes the window.
set -eu

start_dir=$(pwd -P)
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
BUILD_DIR=${PELLARO_BUILD_DIR:-$repo/build/x86_64}
WINDOW_WAIT_SECONDS=120
EXIT_WAIT_SECONDS=30

die() {
  echo "run.sh: $*" >&2
  exit 1
}

file=${1:-samples/Bad.java}
case $file in
  /*) ;;
  *) if [ -e "$repo/$file" ] || [ ! -e "$file" ]; then file=$repo/$file; else file=$start_dir/$file; fi ;;
esac
[ -f "$file" ] || die "no such file: $file"

sh scripts/install-deps.sh </dev/null
cmake -S . -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release </dev/null
cmake --build "$BUILD_DIR" -j2 --target Pellaro jdk_bridge_programs </dev/null

# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh
wine_prefix_init

headless=0
if [ -z "${DISPLAY:-}" ] || [ "${PELLARO_OWN_DISPLAY:-0}" = 1 ]; then headless=1; fi

started_server=0
pellaro_pid=
cleanup() {
  if [ -n "$pellaro_pid" ] && kill -0 "$pellaro_pid" 2>/dev/null; then kill "$pellaro_pid" 2>/dev/null || true; fi
  if [ "$started_server" = 1 ]; then wine_server_stop; fi
  xvfb_stop
}
trap cleanup EXIT

if [ "$headless" = 1 ]; then
  xvfb_start
  [ -n "${XVFB_PID:-}" ] || die "could not start Xvfb"
fi

# A server already running for this prefix (someone's tests, say) is left alone.
if wineserver -p </dev/null >/dev/null 2>&1; then started_server=1; fi
wine cmd /c exit </dev/null >/dev/null 2>&1

# A first run has no stored window place; give the result window room for
# javac's lines (later runs reopen it where the user left it).
appdata='HKCU\Software\DrussetAPP\Pellaro\AppData'
if ! wine reg query "$appdata" /v LogSizeX </dev/null >/dev/null 2>&1; then
  for v in "LogPosX 40" "LogPosY 40" "LogSizeX 720" "LogSizeY 320"; do
    set -- $v
    wine reg add "$appdata" /v "$1" /t REG_DWORD /d "$2" /f </dev/null >/dev/null 2>&1
  done
fi

WINEPATH=$(winepath -w "$BUILD_DIR/jdkbridge" </dev/null)
export WINEPATH
target=$(winepath -w "$file" </dev/null)
pellaro=$BUILD_DIR/bin/Pellaro.exe
peek=$BUILD_DIR/jdkbridge/result_peek.exe

if [ "$headless" = 0 ]; then
  echo "== Pellaro.exe -c $target (close the window to finish)"
  wine "$pellaro" -c "$target" </dev/null
  exit 0
fi

desktop=pellaro-$$
echo "== Pellaro.exe -c $target (headless, display $DISPLAY)"
wine explorer "/desktop=$desktop,1024x768" "$pellaro" -c "$target" </dev/null >/dev/null 2>&1 &
pellaro_pid=$!

if ! rect=$(timeout $((WINDOW_WAIT_SECONDS + 15)) wine "$peek" "$desktop" wait "$WINDOW_WAIT_SECONDS" </dev/null); then
  shot=$BUILD_DIR/screenshot-failure.png
  import -window root "$shot" </dev/null 2>/dev/null || true
  die "the result window (結果) did not appear within ${WINDOW_WAIT_SECONDS} s; the screen is in $shot"
fi
read -r left top width height <<EOF
$rect
EOF

# The dialog's rectangle is relative to the virtual desktop; add the desktop's
# own place on the X screen.
dx=0 dy=0
desktop_window=$(xdotool search --name "^$desktop - Wine desktop\$" 2>/dev/null </dev/null | head -n 1 || true)
if [ -n "$desktop_window" ]; then
  eval "$(xdotool getwindowgeometry --shell "$desktop_window" </dev/null | grep -E '^[XY]=')"
  dx=${X:-0} dy=${Y:-0}
fi

sleep 1 # let the window finish painting
shot=$BUILD_DIR/screenshot-result.png
import -window root -crop "${width}x${height}+$((left + dx))+$((top + dy))" +repage "$shot" </dev/null
echo "== Screenshot: $shot"
echo "== Text of the result window:"
timeout 30 wine "$peek" "$desktop" text </dev/null || die "could not read the result window's text"

timeout 30 wine "$peek" "$desktop" close </dev/null || die "could not close the result window"
waited=0
while kill -0 "$pellaro_pid" 2>/dev/null; do
  [ "$waited" -lt $((EXIT_WAIT_SECONDS * 10)) ] || die "Pellaro did not exit within ${EXIT_WAIT_SECONDS} s of closing its window"
  sleep 0.1
  waited=$((waited + 1))
done
pellaro_pid=
echo "== Pellaro closed"
