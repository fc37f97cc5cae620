#!/bin/bash
# Pictures of Pellaro's windows for the README and the help page, made from
# the code as it is: builds the 64-bit programs, runs them in an Xvfb of its
# own inside a Wine virtual desktop (so windows have captions) with a Wine
# prefix of its own, and saves a PNG of each window into docs/:
#
#   shot-editor.png           the first start's question which editor to use
#   screenshot-strip.png      notepad, the strip and the result window
#   shot-strip-menu.png       the strip with its popup menu
#   shot-result.png           the result window after javac and java
#   shot-progress.png         the progress window of a javac beside the strip
#   shot-live.png             the live result window of a java still running
#   shot-settings-N.png       the settings page selector on each page (1-5)
#   shot-param.png            the parameter dialog
#   shot-version.png          the version box
#   shot-setup.png, shot-setup-done.png   setup's two dialogs
#
# all at 96 DPI, and shot-strip-menu-144.png, shot-result-144.png and
# shot-settings-4-144.png at 144 DPI (Wine's LogPixels). javac and java are
# the machine's JDK (through jdkbridge/); the progress and live windows are
# shown by the tests' fake javac and java, which sleep. Installs what it
# needs when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD_DIR=$ROOT/build/x86_64
DOCS=$ROOT/docs
WAIT=60

bash scripts/install-deps.sh
echo "== Building (x86_64)"
# The tests' fake java comes with the tests.
cmake -S . -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DPELLARO_BUILD_TESTS=ON >/dev/null
cmake --build "$BUILD_DIR" -j2 --target Pellaro setup jdk_bridge_programs fake_java fake_javac

# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh
# A prefix of its own, so the tests' prefix keeps its DPI and settings.
export WINEPREFIX=$ROOT/build/screenshots/wineprefix
mkdir -p "$(dirname "$WINEPREFIX")"
wine_prefix_init
# Debian's Wine does not find its own Marlett font, which draws the caption
# buttons; from the prefix's font folder it does.
cp -f /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

explorer_pid=
cleanup() {
  if [ -n "$explorer_pid" ]; then kill "$explorer_pid" 2>/dev/null || true; fi
  wine_server_stop
  xvfb_stop
}
trap cleanup EXIT
XVFB_SCREEN=1536x1152x24 PELLARO_OWN_DISPLAY=1 xvfb_start
[ -n "${XVFB_PID:-}" ] || { echo "screenshots.sh: could not start Xvfb" >&2; exit 1; }
wine_server_start

peek_exe=$BUILD_DIR/jdkbridge/result_peek.exe
desktop=pellaro-shots
dpi=96

die() {
  import -window root "$BUILD_DIR/screenshot-failure.png" </dev/null 2>/dev/null || true
  echo "screenshots.sh: $*; the screen is in $BUILD_DIR/screenshot-failure.png" >&2
  exit 1
}
peek() { timeout $((WAIT + 15)) wine "$peek_exe" "$desktop" "$@" </dev/null; }
reg_set() { wine reg add "$1" /v "$2" /t "$3" /d "$4" /f </dev/null >/dev/null 2>&1; }
# A length at 96 DPI, at this session's DPI.
px() { echo $(($1 * dpi / 96)); }

# Saves the screen area around the windows given as "left top width height"
# lines on standard input, with a margin of desktop around them.
shot() { # name margin
  local name=$1 margin=$2 l=100000 t=100000 r=0 b=0 x y w h
  while read -r x y w h; do
    [ -n "$h" ] || continue
    [ "$x" -lt "$l" ] && l=$x
    [ "$y" -lt "$t" ] && t=$y
    [ $((x + w)) -gt "$r" ] && r=$((x + w))
    [ $((y + h)) -gt "$b" ] && b=$((y + h))
  done
  [ "$r" -gt 0 ] || return 1
  l=$((l - margin)) t=$((t - margin)) r=$((r + margin)) b=$((b + margin))
  [ "$l" -ge 0 ] || l=0
  [ "$t" -ge 0 ] || t=0
  wine_desktop_offset "$desktop"
  sleep 0.5 # the last window painted
  import -window root -crop "$((r - l))x$((b - t))+$((l + dx))+$((t + dy))" +repage \
    "$DOCS/$name.png" </dev/null
  echo "   docs/$name.png"
}

# Fresh settings for each session, as after installing: no place, size or
# tooltip stored, so the pictures show what a first start shows. A first
# start asks for the editor; the other sessions have notepad stored. Notepad
# spans the desktop's width, so the strip sits just below its caption bar.
reset_settings() { # first
  wine reg delete 'HKCU\Software\DrussetAPP' /f </dev/null >/dev/null 2>&1 || true
  local key='HKCU\Software\DrussetAPP\Pellaro'
  if [ "${1:-}" != first ]; then
    reg_set "$key\\AppData" editor REG_SZ 'C:\windows\system32\notepad.exe'
  fi
  reg_set "$key\\Cmd3" HotKey1 REG_DWORD 0x4b # Ctrl+Shift+K
  reg_set "$key\\Cmd3" HotKey2 REG_DWORD 6
  local notepad='HKCU\Software\Microsoft\Notepad'
  reg_set "$notepad" iWindowPosX REG_DWORD "$(px 10)"
  reg_set "$notepad" iWindowPosY REG_DWORD "$(px 10)"
  reg_set "$notepad" iWindowPosDX REG_DWORD "$(px 1000)"
  reg_set "$notepad" iWindowPosDY REG_DWORD "$(px 600)"
}

# The DPI that each Wine process reads when it starts.
set_dpi() {
  dpi=$1
  reg_set 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD "$dpi"
}

# Starts a program in the virtual desktop, as large as the screen at 96 DPI.
start_in_desktop() {
  wine explorer "/desktop=$desktop,$(px 1024)x$(px 768)" "$@" </dev/null >/dev/null 2>&1 &
  explorer_pid=$!
}

# Waits for the desktop to close once its last window has gone.
end_desktop() {
  local waited=0
  while kill -0 "$explorer_pid" 2>/dev/null; do
    [ "$waited" -lt 300 ] || die "the Wine desktop did not close"
    sleep 0.1
    waited=$((waited + 1))
  done
  explorer_pid=
}

# The sample is saved in Shift-JIS with CR LF, as Notepad saves it on
# Japanese Windows; Pellaro tells javac so.
mkdir -p "$WINEPREFIX/drive_c/work"
cp samples/Hello.java "$WINEPREFIX/drive_c/work/Hello.java"

# The machine's JDK as a JDK installed on Windows: the bridge programs in the
# bin folder of a JDK folder under Program Files, with the real JDK's release
# file beside it. Pellaro finds it there by itself.
jdk_release=$(dirname "$(dirname "$(readlink -f /usr/bin/javac)")")/release
jdk_version=$(sed -n 's/^JAVA_VERSION="\([0-9]*\).*/\1/p' "$jdk_release")
jdk_home="$WINEPREFIX/drive_c/Program Files/Java/jdk-${jdk_version:-17}"
mkdir -p "$jdk_home/bin"
cp -f "$BUILD_DIR/jdkbridge/javac.exe" "$BUILD_DIR/jdkbridge/java.exe" "$jdk_home/bin/"
cp -f "$jdk_release" "$jdk_home/release"

# The strip, its menu, a command's result and the settings dialogs.
main_session() { # suffix of the file names
  local suffix=$1
  if [ -z "$suffix" ]; then reset_settings first; else reset_settings; fi
  start_in_desktop "$BUILD_DIR/bin/Pellaro.exe" 'C:\work\Hello.java'
  if [ -z "$suffix" ]; then
    peek rect エディタを指定して下さい "$WAIT" | shot shot-editor 0 || die "no editor question"
    peek press エディタを指定して下さい 1065 # OK on the first choice found
  fi
  peek rect - "$WAIT" >/dev/null || die "no strip"
  sleep 2 # notepad has opened the file beside it
  local strip menu
  strip=$(peek rect - "$WAIT")
  menu=$(peek menu) || die "no popup menu"
  printf '%s\n%s\n' "$strip" "$menu" | shot "shot-strip-menu$suffix" "$(px 12)"
  xdotool key Escape </dev/null
  sleep 0.5

  peek press - 40004 # コマンド３ from the menu: javac, then java
  peek rect 結果 "$WAIT" | shot "shot-result$suffix" 0 || die "no result window"
  if [ -z "$suffix" ]; then
    wine_desktop_offset "$desktop"
    import -window root -crop "1024x768+$dx+$dy" +repage "$DOCS/screenshot-strip.png" </dev/null
    echo "   docs/screenshot-strip.png"
  fi
  peek close

  peek press - 40007 # オプション
  peek rect プロパティ "$WAIT" >/dev/null || die "no settings window"
  local page
  for page in 1 2 3 4 5; do
    if [ -n "$suffix" ] && [ "$page" != 4 ]; then continue; fi
    peek page $((page - 1))
    peek rect プロパティ "$WAIT" | shot "shot-settings-$page$suffix" 0
  done
  if [ -z "$suffix" ]; then
    peek page 4
    peek press プロパティ 1086 # 拡張設定's 追加
    peek rect パラメータの挿入 "$WAIT" | shot shot-param 0 || die "no parameter dialog"
    peek press パラメータの挿入 2
    peek page 3
    peek press プロパティ 1077 # 全般設定's バージョン情報
    peek rect ﾊﾞｰｼﾞｮﾝ情報 "$WAIT" | shot shot-version 0 || die "no version box"
    peek press ﾊﾞｰｼﾞｮﾝ情報 1100
  fi
  peek press プロパティ 1101
  sleep 0.5
  peek exit >/dev/null || die "Pellaro did not end through 終了"
  end_desktop
}

# The progress window of a javac that takes its time, stopped with 中止; then
# the live result window of a java that takes its time, stopped there.
progress_session() {
  reset_settings stored
  WINEPATH=$(winepath -w "$BUILD_DIR/fakes" </dev/null) PELLARO_FAKE_SLEEP_JAVAC=30000 \
    PELLARO_FAKE_SLEEP_JAVA=30000 start_in_desktop "$BUILD_DIR/bin/Pellaro.exe" 'C:\work\Hello.java'
  peek rect - "$WAIT" >/dev/null || die "no strip"
  sleep 2
  peek press - 40002 # コマンド１: javac
  local progress strip live waited=0
  progress=$(peek rect 実行中 "$WAIT") || die "no progress window"
  until [ "$(peek field 実行中 1302)" = "経過 2 秒" ]; do
    [ "$waited" -lt 100 ] || die "the progress window did not count to 2 s"
    sleep 0.1
    waited=$((waited + 1))
  done
  strip=$(peek rect - "$WAIT")
  printf '%s\n%s\n' "$strip" "$progress" | shot shot-progress "$(px 12)"
  peek press 実行中 2 # 中止
  peek rect 結果 "$WAIT" >/dev/null || die "no result window after 中止"
  peek close
  peek press - 40003 # コマンド２: java
  live=$(peek rect 結果 "$WAIT" 1321) || die "no live result window"
  sleep 1
  live=$(peek rect 結果 "$WAIT" 1321)
  printf '%s\n' "$live" | shot shot-live 0
  peek press 結果 1320 # 中止
  sleep 1
  peek close
  peek exit >/dev/null || die "Pellaro did not end through 終了"
  end_desktop
}

# setup's dialog with an editor's path typed in, and the one that follows.
setup_session() {
  start_in_desktop "$BUILD_DIR/bin/setup.exe"
  peek rect セットアップ "$WAIT" 1001 >/dev/null || die "no setup dialog"
  peek type セットアップ 1001 'C:\Program Files\EmEditor\EmEditor.exe'
  peek rect セットアップ "$WAIT" 1001 | shot shot-setup 0
  peek press セットアップ 1003
  peek rect セットアップ "$WAIT" 1005 | shot shot-setup-done 0 || die "no second setup dialog"
  peek press セットアップ 1005
  end_desktop
}

echo "== Screenshots at 96 DPI"
set_dpi 96
main_session ""
progress_session
setup_session
echo "== Screenshots at 144 DPI"
set_dpi 144
main_session -144
set_dpi 96
