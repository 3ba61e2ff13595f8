#!/usr/bin/env bash
# Makes the pictures bench_logo_dither measures, with ImageMagick (installed by
# scripts/setup.sh). Each is 336 x 192, four times the logo in each direction.
# Usage: bash bench/pictures/make-pictures.sh
set -euo pipefail
cd "$(dirname "$0")"
im=/usr/bin/convert
[ -x "$im" ] || im=convert
size=336x192
# Tone ramps: a straight one across the picture and a round one.
"$im" -size 192x336 gradient:white-black -rotate 90 -depth 8 ramp.png
"$im" -size "$size" radial-gradient:white-black -depth 8 radial.png
# A portrait: head and shoulders against a shaded wall, soft as a photo.
"$im" -size "$size" gradient:'#c8c8c8'-'#606060' \
  -fill '#d9b38c' -draw 'ellipse 168,88 40,52 0,360' \
  -fill '#3a2414' -draw 'ellipse 168,52 44,26 180,360' \
  -fill '#283850' -draw 'ellipse 168,212 104,64 0,360' \
  -fill '#2a1a10' -draw 'ellipse 152,84 5,3 0,360' -draw 'ellipse 184,84 5,3 0,360' \
  -blur 0x3 -seed 4 -attenuate 0.3 +noise Gaussian -colorspace Gray -depth 8 portrait.png
# Text in black and grey on white.
"$im" -size "$size" xc:white -font DejaVu-Sans-Bold -pointsize 72 -fill black -annotate +18+96 'NMT' \
  -font DejaVu-Sans -pointsize 30 -fill '#707070' -annotate +22+160 'Service Tool 650' -depth 8 text.png
# A logo on plain white: a dark disc, a mid-grey ring and light bars.
"$im" -size "$size" xc:white -fill '#1a3c8c' -draw 'circle 84,96 84,36' \
  -fill none -stroke '#909090' -strokewidth 8 -draw 'circle 84,96 84,20' -stroke none \
  -fill '#b0b0b0' -draw 'rectangle 180,56 316,84' -fill '#dcdcdc' -draw 'rectangle 180,108 316,136' -depth 8 logo.png
# Clouds: a fractal texture, like sky or foliage in a photo.
"$im" -seed 7 -size "$size" plasma:fractal -blur 0x2 -colorspace Gray -depth 8 clouds.png
# A real photograph: ImageMagick's built-in rose, cut to the logo's shape.
"$im" rose: -resize 84x48^ -gravity center -extent 84x48 -resize "$size"\! -depth 8 rose.png
