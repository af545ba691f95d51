#!/bin/sh
# Draws the suite's icons once (ImageMagick): a rounded tile in the
# program's colour with the white "V" of the suite, and for the four
# programs beside the main one a round badge with their letter. The PNGs
# are committed; run this again only to change the pictures.
# Output: <name>.png at 256x256 and 64/<name>.png at 64x64.
set -e
cd "$(dirname "$0")"
mkdir -p 64
schrift=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
bild() {  # name colour badge-letter (or "")
  name=$1 farbe=$2 zeichen=$3
  set -- -size 256x256 xc:none \
    -fill "$farbe" -draw "roundrectangle 8,8 247,247 44,44" \
    -fill none -stroke white -strokewidth 30 -draw "stroke-linecap round stroke-linejoin round polyline 60,58 122,196 184,58"
  if [ -n "$zeichen" ]; then
    set -- "$@" -stroke "$farbe" -strokewidth 8 -fill white -draw "circle 190,190 190,136" \
      -stroke none -fill "$farbe" -font "$schrift" -pointsize 68 -gravity NorthWest \
      -annotate +166+152 "$zeichen"
  fi
  convert "$@" "$name.png"
  convert "$name.png" -resize 64x64 "64/$name.png"
}
bild vokarium '#1f4e9a' ''
bild vkpflege '#2e7d32' 'P'
bild vkverwalter '#6a1b9a' 'A'
bild vkzentrale '#37474f' 'Z'
bild vkhelfer '#c75b00' 'H'
