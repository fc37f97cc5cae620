#!/bin/bash
# Packs the programs of two build trees into the release zip:
#   x86_64/ and i686/, each with Pellaro.exe, setup.exe, HELP.HTML and the
#   pictures HELP.HTML shows, and README.txt (UTF-8 with a byte-order mark
#   and CR LF, so Notepad reads it).
# Usage: package-release.sh X86_64_BIN_DIR I686_BIN_DIR OUTPUT_ZIP
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
x64_bin=$(cd "$1" && pwd)
x86_bin=$(cd "$2" && pwd)
out=$3
case $out in /*) ;; *) out=$PWD/$out ;; esac

# The pictures the help page shows, which lie beside it in docs/.
pictures=$(grep -o '<img [^>]*src="[^"]*"' "$root/docs/HELP.HTML" | sed 's/.*src="\([^"]*\)"/\1/' | sort -u)

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
files=()
for arch in x86_64 i686; do
  bin=$x64_bin
  [ "$arch" = i686 ] && bin=$x86_bin
  mkdir "$stage/$arch"
  cp "$bin/Pellaro.exe" "$bin/setup.exe" "$stage/$arch/"
  cp "$root/docs/HELP.HTML" "$stage/$arch/HELP.HTML"
  files+=("$arch/Pellaro.exe" "$arch/setup.exe" "$arch/HELP.HTML")
  for picture in $pictures; do
    cp "$root/docs/$picture" "$stage/$arch/$picture"
    files+=("$arch/$picture")
  done
done
{ printf '\357\273\277'; sed 's/\r*$/\r/' "$root/docs/README.txt"; } >"$stage/README.txt"

mkdir -p "$(dirname "$out")"
rm -f "$out"
# -D: no folder entries, only the files; -X: no Unix extra fields.
(cd "$stage" && zip -q -D -X "$out" "${files[@]}" README.txt)
