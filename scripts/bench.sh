#!/bin/bash
# Measures, side by side under Wine, what a tool run costs against the
# command interpreter doing the same work (P1, P2), how fast Pellaro.exe
# starts against notepad (P3), and its size, idle processor time and memory
# (P4); then a click on the strip with the machine's real JDK against
# "cmd /c javac" and javac alone (C1), the first compile after a JDK change
# (C2) and the idle processor time after a run (C3); and one search for the
# installed JDKs (J1, target < 20 ms); and what the error hints cost on
# 256 KiB of output (H1, H2; 5 ms at most). Installs what is missing
# and builds the 64-bit tree first.
#   scripts/bench.sh [rounds]   (at least 15; 25 by default; C1 takes 15)
# PELLARO_BENCH_BUILD names another build tree (default build/x86_64);
# PELLARO_BENCH_EXE another Pellaro.exe to measure (an older build, say);
# PELLARO_BENCH_ONLY=click measures C1 to C3 alone, PELLARO_BENCH_CLICKS
# rounds of them (15 by default); PELLARO_BENCH_ONLY=hints H1 and H2 alone.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
PAIRS=${1:-25}
BUILD=${PELLARO_BENCH_BUILD:-build/x86_64}

bash scripts/install-deps.sh

echo "== Building ($BUILD)"
cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 --target Pellaro bench_runtool bench_start bench_click \
  bench_jdk_search bench_hints fake_programs jdk_bridge_programs

BUILD_DIR=$(cd "$BUILD" && pwd)
. scripts/wine-env.sh
OWN_SERVER=0
cleanup() {
  if [ "$OWN_SERVER" = 1 ]; then wine_server_stop; fi
  xvfb_stop
}
trap cleanup EXIT
wine_prefix_init
PELLARO_OWN_DISPLAY=1 xvfb_start
# Like wine_server_start, but "wineserver -p" fails when this prefix's server
# already runs (a test run of the same tree): that one is then used and left
# running.
if wineserver -p </dev/null >/dev/null 2>&1; then OWN_SERVER=1; fi
wine cmd /c exit </dev/null >/dev/null 2>&1

PELLARO_EXE=${PELLARO_BENCH_EXE:-$(find "$BUILD_DIR" -name Pellaro.exe -path '*/bin/*' -print -quit)}
if [ -z "$PELLARO_EXE" ]; then
  echo "Pellaro.exe not found under $BUILD_DIR" >&2
  exit 1
fi

echo "== Benchmark on $(nproc) cores, $(wine --version 2>/dev/null)"
cd "$BUILD_DIR"
status=0
./wine-run.sh fakes/bench_hints.exe "$PAIRS" </dev/null || status=1
if [ "${PELLARO_BENCH_ONLY:-}" = hints ]; then exit $status; fi
if [ "${PELLARO_BENCH_ONLY:-}" != click ]; then
  ./wine-run.sh fakes/bench_runtool.exe "$PAIRS" </dev/null || status=1
  ./wine-run.sh fakes/bench_start.exe "$(winepath -w "$PELLARO_EXE" 2>/dev/null)" \
    "$(winepath -w "$BUILD_DIR/fakes/fake_editor.exe" 2>/dev/null)" "$PAIRS" </dev/null || status=1
  ./wine-run.sh fakes/bench_jdk_search.exe "$PAIRS" </dev/null || status=1
fi
# The machine's own JDK, whose release file tells Pellaro its version.
JDK_HOME=$(dirname "$(dirname "$(readlink -f "$(command -v javac)")")")
./wine-run.sh fakes/bench_click.exe "$(winepath -w "$PELLARO_EXE" 2>/dev/null)" \
  "$(winepath -w "$BUILD_DIR/fakes/fake_editor.exe" 2>/dev/null)" \
  "$(winepath -w "$BUILD_DIR/jdkbridge" 2>/dev/null)" \
  "$(winepath -w "$ROOT/samples/Hello.java" 2>/dev/null)" \
  "$(winepath -w "$JDK_HOME/release" 2>/dev/null)" "${PELLARO_BENCH_CLICKS:-15}" </dev/null || status=1
exit $status
