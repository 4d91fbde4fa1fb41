#!/usr/bin/env bash
# Draws the program's images from ImageMagick primitives into resources/. The results are
# committed, so this only runs again when a picture is redesigned.
#   tolvane.ico   window icon: an open book on a blue tile, 16, 32 and 48 pixels
#   workspace.bmp main window background, 457 x 291, 24-bit
#   banner.gif    About dialog link banner, 300 x 31
#   pointer.png   hand pointer shown over the About dialog's links, 32 x 32
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/resources"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fonts=/usr/share/fonts/truetype/liberation2
serif_bold="$fonts/LiberationSerif-Bold.ttf"
serif_italic="$fonts/LiberationSerif-Italic.ttf"
sans_bold="$fonts/LiberationSans-Bold.ttf"

# The book emblem, drawn once large (256 x 256) and scaled down for each use.
convert -size 256x256 xc:none \
  -fill '#1f3b73' -draw 'roundrectangle 8,8 247,247 40,40' \
  -fill '#2d56a3' -draw 'roundrectangle 16,16 239,239 34,34' \
  -stroke '#6b4a1c' -strokewidth 6 -fill '#f4ead2' \
  -draw 'path "M 128,78 C 98,58 58,56 34,66 L 34,196 C 58,186 98,188 128,208 Z"' \
  -draw 'path "M 128,78 C 158,58 198,56 222,66 L 222,196 C 198,186 158,188 128,208 Z"' \
  -stroke '#a08a64' -strokewidth 5 \
  -draw 'line 52,98 110,106' -draw 'line 52,124 110,132' -draw 'line 52,150 110,158' \
  -draw 'line 146,106 204,98' -draw 'line 146,132 204,124' -draw 'line 146,158 204,150' \
  -stroke none -fill '#c0392b' -draw 'polygon 160,70 180,66 180,226 170,212 160,226' \
  "$tmp/emblem.png"

for s in 16 32 48; do
  convert "$tmp/emblem.png" -filter Lanczos -resize ${s}x${s} -unsharp 0x0.6 "$tmp/icon$s.png"
done
convert "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png" "$out/tolvane.ico"

# Workspace picture: parchment with the emblem and the program's name.
convert "$tmp/emblem.png" -resize 120x120 "$tmp/emblem120.png"
convert -size 457x291 gradient:'#f7f0dc'-'#e3d3aa' \
  -fill none -stroke '#b39b68' -strokewidth 2 -draw 'rectangle 8,8 448,282' \
  -stroke '#cdb98c' -strokewidth 1 -draw 'rectangle 14,14 442,276' \
  "$tmp/emblem120.png" -geometry +32+86 -composite \
  -stroke none -fill '#3b2a12' -font "$serif_bold" -pointsize 46 -annotate +172+138 'Tolvane' \
  -fill '#5c4522' -font "$serif_italic" -pointsize 17 -annotate +174+168 'Bible dictionaries' \
  -fill '#6e5630' -pointsize 13 \
  -annotate +174+196 'King James archaic words' \
  -annotate +174+214 "Easton's Bible Dictionary" \
  -annotate +174+232 "Hitchcock's Bible Names" \
  -alpha off -type TrueColor BMP3:"$out/workspace.bmp"

# Banner: a blue bar that reads as a link to the maker's other programs.
convert "$tmp/emblem.png" -resize 25x25 "$tmp/emblem25.png"
convert -size 300x31 gradient:'#2d56a3'-'#1f3b73' \
  "$tmp/emblem25.png" -geometry +4+3 -composite \
  -fill white -font "$sans_bold" -pointsize 13 -annotate +36+20 'More Freeware from Kestrane' \
  -fill '#ffd75e' -annotate +247+20 '>>' \
  -colors 64 "$out/banner.gif"

# Hand pointer: a white silhouette with a one-pixel black outline; hot spot at the finger
# tip (13, 1), which the program sets when it makes the cursor.
convert -size 32x32 xc:none -fill white -stroke none \
  -draw 'roundrectangle 11,1 16,19 2,2' \
  -draw 'roundrectangle 16,9 20,20 2,2' \
  -draw 'roundrectangle 20,10 24,21 2,2' \
  -draw 'roundrectangle 24,12 28,22 2,2' \
  -draw 'polygon 4,17 7,14 11,17 11,22' \
  -draw 'roundrectangle 8,16 28,28 5,5' \
  -draw 'rectangle 12,26 26,30' \
  "$tmp/hand.png"
convert "$tmp/hand.png" -alpha extract -morphology Dilate Square:1 \
  -background black -alpha shape "$tmp/outline.png"
convert "$tmp/outline.png" "$tmp/hand.png" -composite \
  -stroke '#808080' -strokewidth 1 -draw 'line 16,15 16,20' -draw 'line 20,16 20,21' \
  -draw 'line 24,17 24,22' \
  PNG32:"$out/pointer.png"

echo "images written to $out"
