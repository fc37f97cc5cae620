#!/bin/bash
# Packs the programs of two build trees into the release zip:
#   x86_64/ and i686/, each with Pellaro.exe, setup.exe and HELP.HTML, and
#   README.txt (UTF-8 with a byte-order mark and CR LF, so Notepad reads it).
# Usage: package-release.sh X86_64_BIN_DIR I686_BIN_DIR OUTPUT_ZIP
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
x64_bin=$(cd "$1" && pwd)
x86_bin=$(cd "$2" && pwd)
out=$3
case $out in /*) ;; *) out=$PWD/$out ;; esac

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
for arch in x86_64 i686; do
  bin=$x64_bin
  [ "$arch" = i686 ] && bin=$x86_bin
  mkdir "$stage/$arch"
  cp "$bin/Pellaro.exe" "$bin/setup.exe" "$stage/$arch/"
  cp "$root/docs/HELP.HTML" "$stage/$arch/HELP.HTML"
done
{ printf '\357\273\277'; sed 's/\r*$/\r/' "$root/docs/README.txt"; } >"$stage/README.txt"

mkdir -p "$(dirname "$out")"
rm -f "$out"
# -D: no folder entries, only the files; -X: no Unix extra fields.
(cd "$stage" && zip -q -D -X "$out" x86_64/Pellaro.exe x86_64/setup.exe x86_64/HELP.HTML \
  i686/Pellaro.exe i686/setup.exe i686/HELP.HTML README.txt)
