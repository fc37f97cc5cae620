#!/bin/sh
# Draws the program's icons (a coffee cup for the program, a page with the cup
# for .java documents) as 32x32 and 16x16 images, and the toolbar's strips of
# four images (compile, run, compile and run, settings gear) at 16, 24 and 32
# pixels on the button-face grey that the toolbar maps to the system colour.
# The images are committed; run this only to change them ("toolbar" draws the
# toolbar alone). Needs ImageMagick.
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
if [ "${1:-}" != toolbar ]; then
cup 32 "$tmp/a32.png" none; cup 16 "$tmp/a16.png" none
page 32 "$tmp/d32.png"; page 16 "$tmp/d16.png"
convert "$tmp/a32.png" "$tmp/a16.png" "$out/pellaro.ico"
convert "$tmp/d32.png" "$tmp/d16.png" "$out/java_document.ico"
fi
# Toolbar strips of four images at 16, 24 and 32 pixels: each drawn at 4x
# (coordinates below are for 16) and reduced; 16 colours at 16, 256 above.
toolbar() { # size colours file
  s=$1
  k=$(awk "BEGIN { print $s / 16 }")
  convert -size $((16 * s))x$((4 * s)) xc:'#c0c0c0' -affine "$k,0,0,$k,0,0" \
  -fill white -stroke '#404040' -strokewidth 3 -draw 'polygon 10,4 40,4 52,16 52,60 10,60' \
  -stroke '#1060c0' -strokewidth 4 -draw 'line 18,22 44,22' -draw 'line 18,34 44,34' -draw 'line 18,46 36,46' \
  -fill '#20a020' -stroke '#0a500a' -strokewidth 3 -draw 'polygon 80,6 120,32 80,58' \
  -fill white -stroke '#404040' -strokewidth 3 -draw 'polygon 134,4 160,4 170,14 170,56 134,56' \
  -stroke '#1060c0' -strokewidth 4 -draw 'line 140,20 160,20' -draw 'line 140,32 160,32' \
  -fill '#20a020' -stroke '#0a500a' -strokewidth 3 -draw 'polygon 156,30 188,46 156,62' \
  -fill '#808080' -stroke '#303030' -strokewidth 3 \
  -draw 'polygon 224,2 232,2 233,12 243,8 248,14 240,22 250,28 250,36 240,42 248,50 243,56 233,52 232,62 224,62 223,52 213,56 208,50 216,42 206,36 206,28 216,22 208,14 213,8 223,12' \
  -fill '#c0c0c0' -draw 'circle 228,32 228,41' \
  -filter box -resize $((4 * s))x$s -dither None -colors "$2" -type Palette BMP3:"$3"
}
toolbar 16 16 "$out/../toolbar.bmp"
toolbar 24 256 "$out/../toolbar24.bmp"
toolbar 32 256 "$out/../toolbar32.bmp"
rm -rf "$tmp"
