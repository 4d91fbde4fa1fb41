#!/usr/bin/env bash
# Draws the desktop icons into packaging/icons/: the window icon's open book on a blue tile
# (scripts/make-images.sh) as a scalable SVG, and PNGs at the hicolor theme's sizes drawn
# with the same ImageMagick primitives. The results are committed; run this again only to
# redesign the icon.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/packaging/icons"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"
id=example.kestrane.Tolvane

# The book emblem at 256 x 256, as in make-images.sh.
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

for s in 16 24 32 48 64 128 256; do
  if [ "$s" -eq 256 ]; then
    cp "$tmp/emblem.png" "$tmp/icon.png"
  else
    convert "$tmp/emblem.png" -filter Lanczos -resize ${s}x${s} -unsharp 0x0.6 "$tmp/icon.png"
  fi
  # -strip: no time stamps, so a second run writes the same bytes.
  convert "$tmp/icon.png" -strip PNG32:"$out/$id-$s.png"
done

# The same drawing as SVG, one element per primitive above.
cat > "$out/$id.svg" <<'SVG'
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <title>Tolvane</title>
  <rect x="8" y="8" width="239" height="239" rx="40" ry="40" fill="#1f3b73"/>
  <rect x="16" y="16" width="223" height="223" rx="34" ry="34" fill="#2d56a3"/>
  <g fill="#f4ead2" stroke="#6b4a1c" stroke-width="6" stroke-linejoin="round">
    <path d="M 128,78 C 98,58 58,56 34,66 L 34,196 C 58,186 98,188 128,208 Z"/>
    <path d="M 128,78 C 158,58 198,56 222,66 L 222,196 C 198,186 158,188 128,208 Z"/>
  </g>
  <g stroke="#a08a64" stroke-width="5" stroke-linecap="round">
    <line x1="52" y1="98" x2="110" y2="106"/>
    <line x1="52" y1="124" x2="110" y2="132"/>
    <line x1="52" y1="150" x2="110" y2="158"/>
    <line x1="146" y1="106" x2="204" y2="98"/>
    <line x1="146" y1="132" x2="204" y2="124"/>
    <line x1="146" y1="158" x2="204" y2="150"/>
  </g>
  <polygon points="160,70 180,66 180,226 170,212 160,226" fill="#c0392b"/>
</svg>
SVG

echo "icons written to $out"
