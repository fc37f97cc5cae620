#!/bin/sh
# Draws the program's icons (a coffee cup for the program, a page with the cup
# for .java documents) as 32x32 and 16x16 images. The .ico files are committed;
# run this only to change them. Needs ImageMagick.
set -e
out=$(dirname "$0")/../src/resources/icons
mkdir -p "$out"
tmp=$(mktemp -d)
cup() { # size file background
  s=$1
  convert -size 32x32 xc:"$3" \
    -fill '#8b4513' -stroke '#3b1f0a' -strokewidth 1 -draw 'roundrectangle 6,12 22,28 3,3' \
    -fill none -stroke '#3b1f0a' -strokewidth 2 -draw 'arc 18,15 28,24 -90,90' \
    -fill '#f4e1c1' -stroke none -draw 'rectangle 8,13 20,16' \
    -stroke '#a0a0a0' -strokewidth 1 -fill none -draw 'bezier 11,3 9,6 13,8 11,11' -draw 'bezier 16,2 14,5 18,7 16,10' \
    -resize ${s}x${s} "$2"
}
page() {
  s=$1
  convert -size 32x32 xc:none \
    -fill white -stroke '#404040' -strokewidth 1 -draw 'polygon 5,1 21,1 27,7 27,30 5,30' \
    -fill '#d0d0d0' -draw 'polygon 21,1 21,7 27,7' \
    -fill '#8b4513' -stroke '#3b1f0a' -draw 'roundrectangle 9,16 20,27 2,2' \
    -fill none -stroke '#3b1f0a' -strokewidth 2 -draw 'arc 17,18 24,24 -90,90' \
    -stroke '#1060c0' -strokewidth 1 -draw 'line 8,6 17,6' -draw 'line 8,9 20,9' -draw 'line 8,12 23,12' \
    -resize ${s}x${s} "$2"
}
cup 32 "$tmp/a32.png" none; cup 16 "$tmp/a16.png" none
page 32 "$tmp/d32.png"; page 16 "$tmp/d16.png"
convert "$tmp/a32.png" "$tmp/a16.png" "$out/pellaro.ico"
convert "$tmp/d32.png" "$tmp/d16.png" "$out/java_document.ico"
rm -rf "$tmp"
