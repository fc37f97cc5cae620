#!/bin/bash
# The run command: builds Pellaro and runs it on a Java file with the
# machine's own JDK (through the bridge in jdkbridge/) and Wine's notepad as
# the editor.
#
#   bash scripts/run.sh [file.java] [-c]   default samples/Hello.java; a path
#                                          relative to the repo, or absolute
#
# Without -c it is the whole program: notepad opens on the file and the strip
# floats beside it (notepad is stored as the editor only when none is stored).
# With -c it is the compile-only mode: javac alone, its result window, the end.
#
# With a display (DISPLAY set) Pellaro runs there for you. Without one it runs
# in its own Xvfb, inside a Wine virtual desktop so windows have captions:
# the script clicks the strip's third button (javac, then java) with the mouse,
# saves a PNG of the screen, prints its path and the result window's text,
# then ends Pellaro through its 終了 menu entry (with -c: closes the window).
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

file=samples/Hello.java
compile_only=0
for arg in "$@"; do
  case $arg in
    -c) compile_only=1 ;;
    *) file=$arg ;;
  esac
done
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

# Values a first run has not stored yet: notepad as the editor, and places
# where the strip, notepad and the result window do not cover each other
# (later runs use what the user left).
appdata='HKCU\Software\DrussetAPP\Pellaro\AppData'
store_if_missing() { # name type data
  if ! wine reg query "$appdata" /v "$1" </dev/null >/dev/null 2>&1; then
    wine reg add "$appdata" /v "$1" /t "$2" /d "$3" /f </dev/null >/dev/null 2>&1
  fi
}
store_if_missing editor REG_SZ 'C:\windows\notepad.exe'
for v in "WindowX 760" "WindowY 40" "LogPosX 40" "LogPosY 360" "LogSizeX 720" "LogSizeY 360"; do
  set -- $v
  store_if_missing "$1" REG_DWORD "$2"
done

WINEPATH=$(winepath -w "$BUILD_DIR/jdkbridge" </dev/null)
export WINEPATH
target=$(winepath -w "$file" </dev/null)
pellaro=$BUILD_DIR/bin/Pellaro.exe
peek=$BUILD_DIR/jdkbridge/result_peek.exe
if [ "$compile_only" = 1 ]; then args=(-c "$target"); else args=("$target"); fi

if [ "$headless" = 0 ]; then
  echo "== Pellaro.exe ${args[*]} (end it with 終了 in the strip's right-click menu)"
  wine "$pellaro" "${args[@]}" </dev/null
  exit 0
fi

desktop=pellaro-$$
echo "== Pellaro.exe ${args[*]} (headless, display $DISPLAY)"
wine explorer "/desktop=$desktop,1024x768" "$pellaro" "${args[@]}" </dev/null >/dev/null 2>&1 &
pellaro_pid=$!

fail_with_screen() {
  local shot=$BUILD_DIR/screenshot-failure.png
  import -window root "$shot" </dev/null 2>/dev/null || true
  die "$1; the screen is in $shot"
}

if [ "$compile_only" = 0 ]; then
  # Toolbar item 2 is the third command button: javac, then java.
  button=$(timeout $((WINDOW_WAIT_SECONDS + 15)) wine "$peek" "$desktop" button 2 "$WINDOW_WAIT_SECONDS" </dev/null) ||
    fail_with_screen "the strip did not appear within ${WINDOW_WAIT_SECONDS} s"
  read -r bx by <<<"$button"
  wine_desktop_offset "$desktop"
  sleep 1 # notepad has the file open and the strip is painted
  echo "== Clicking the strip's third button (javac, then java)"
  xdotool mousemove $((bx + dx)) $((by + dy)) click 1 </dev/null
fi

rect=$(timeout $((WINDOW_WAIT_SECONDS + 15)) wine "$peek" "$desktop" wait "$WINDOW_WAIT_SECONDS" </dev/null) ||
  fail_with_screen "the result window (結果) did not appear within ${WINDOW_WAIT_SECONDS} s"
read -r left top width height <<<"$rect"
wine_desktop_offset "$desktop"

sleep 1 # let the windows finish painting
if [ "$compile_only" = 1 ]; then
  shot=$BUILD_DIR/screenshot-result.png
  import -window root -crop "${width}x${height}+$((left + dx))+$((top + dy))" +repage "$shot" </dev/null
else
  shot=$BUILD_DIR/screenshot-strip.png
  import -window root -crop "1024x768+$dx+$dy" +repage "$shot" </dev/null
fi
echo "== Screenshot: $shot"
echo "== Text of the result window:"
timeout 30 wine "$peek" "$desktop" text </dev/null || die "could not read the result window's text"

if [ "$compile_only" = 1 ]; then
  timeout 30 wine "$peek" "$desktop" close </dev/null || die "could not close the result window"
else
  timeout 45 wine "$peek" "$desktop" exit </dev/null || die "Pellaro did not end cleanly through 終了"
fi
waited=0
while kill -0 "$pellaro_pid" 2>/dev/null; do
  [ "$waited" -lt $((EXIT_WAIT_SECONDS * 10)) ] || die "Pellaro's desktop did not close within ${EXIT_WAIT_SECONDS} s"
  sleep 0.1
  waited=$((waited + 1))
done
pellaro_pid=
echo "== Pellaro ended"
