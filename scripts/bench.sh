#!/bin/bash
# Measures, side by side under Wine, what a tool run costs against the
# command interpreter doing the same work (P1, P2), how fast Pellaro.exe
# starts against notepad (P3), and its size, idle processor time and memory
# (P4). Installs what is missing and builds the 64-bit tree first.
#   scripts/bench.sh [rounds]   (at least 15; 25 by default)
# PELLARO_BENCH_BUILD names another build tree (default build/x86_64).
set -euo pipefail
cd "$(dirname "$0")/.."
PAIRS=${1:-25}
BUILD=${PELLARO_BENCH_BUILD:-build/x86_64}

bash scripts/install-deps.sh

echo "== Building ($BUILD)"
cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 --target Pellaro bench_runtool bench_start fake_programs

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

PELLARO_EXE=$(find "$BUILD_DIR" -name Pellaro.exe -path '*/bin/*' -print -quit)
if [ -z "$PELLARO_EXE" ]; then
  echo "Pellaro.exe not found under $BUILD_DIR" >&2
  exit 1
fi

echo "== Benchmark on $(nproc) cores, $(wine --version 2>/dev/null)"
cd "$BUILD_DIR"
status=0
./wine-run.sh fakes/bench_runtool.exe "$PAIRS" </dev/null || status=1
./wine-run.sh fakes/bench_start.exe "$(winepath -w "$PELLARO_EXE" 2>/dev/null)" \
  "$(winepath -w "$BUILD_DIR/fakes/fake_editor.exe" 2>/dev/null)" "$PAIRS" </dev/null || status=1
exit $status
