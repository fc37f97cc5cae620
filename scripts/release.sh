#!/bin/bash
# The release command: builds the 64-bit and 32-bit programs from scratch
# (Release, no tests) and writes dist/Pellaro-<version>.zip, the version taken
# from src/common/version.h. Installs what it needs when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

# Only what building and packing need: no Wine, no display.
bash scripts/install-deps.sh g++-mingw-w64-x86-64 g++-mingw-w64-i686 cmake make zip python3

# The release is built from the committed tree alone, exported afresh, so
# nothing left over in the work tree or an old build gets into it.
source_dir=$ROOT
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  if [ -n "$(git status --porcelain)" ]; then
    echo "release: note: uncommitted changes are left out; building $(git rev-parse --short HEAD)" >&2
  fi
  source_dir=$ROOT/build/release-source
  rm -rf "$source_dir"
  mkdir -p "$source_dir"
  git archive HEAD | tar -x -C "$source_dir"
fi

version=$(sed -n 's/^#define PELLARO_VERSION "\([^"]*\)"$/\1/p' "$source_dir/src/common/version.h")
if [ -z "$version" ]; then
  echo "release: no PELLARO_VERSION in src/common/version.h" >&2
  exit 1
fi

for arch in x86_64 i686; do
  dir=$ROOT/build/release-$arch
  echo "== Building $arch from scratch in $dir"
  rm -rf "$dir"
  cmake -S "$source_dir" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/toolchain-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DPELLARO_BUILD_TESTS=OFF -DPELLARO_BUILD_JDK_BRIDGE=OFF >/dev/null
  cmake --build "$dir" -j2 --target Pellaro setup
done

zip=dist/Pellaro-$version.zip
echo "== Packing $zip"
bash "$source_dir/scripts/package-release.sh" build/release-x86_64/bin build/release-i686/bin "$zip"
python3 "$source_dir/scripts/check-release.py" "$zip"
echo "$ROOT/$zip"
