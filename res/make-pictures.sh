#!/usr/bin/env bash
# Redraws the tray icons and the two pictures with ImageMagick. The results are
# committed; run this only to change them. Online is a green disc with a tick,
# offline a grey disc with a red bar, so they differ at 16 px in shape and colour.
set -euo pipefail
cd "$(dirname "$0")"

convert -size 16x16 xc:none -fill '#1a9c2a' -draw 'circle 7.5,7.5 7.5,0.5' \
    -fill white -draw 'polygon 4,8 7,11 12,4 12,6 7,13 4,10' \
    \( -size 32x32 xc:none -fill '#1a9c2a' -draw 'circle 15.5,15.5 15.5,1' \
       -fill white -draw 'polygon 8,16 14,22 24,8 25,12 14,26 7,19' \) OnLine.ico

convert -size 16x16 xc:none -fill '#b0b0b0' -draw 'circle 7.5,7.5 7.5,0.5' \
    -fill '#c01818' -draw 'rectangle 3,6 12,9' \
    \( -size 32x32 xc:none -fill '#b0b0b0' -draw 'circle 15.5,15.5 15.5,1' \
       -fill '#c01818' -draw 'rectangle 6,13 25,18' \) OffLine.ico

# About page picture, 378 x 353, shown stretched into its box.
convert -size 378x353 gradient:'#c0dcc0-#3060a0' -fill '#ffd040' -draw 'circle 189,150 189,60' \
    -fill '#204080' -font DejaVu-Sans-Bold -pointsize 64 -gravity south -annotate +0+30 'Vimo' \
    -quality 88 About.jpg

# Settings page logo, 73 x 68.
convert -size 73x68 xc:'#c0dcc0' -fill '#3060a0' -draw 'roundrectangle 4,4 68,63 10,10' \
    -fill '#ffd040' -draw 'circle 36,30 36,14' -fill white -font DejaVu-Sans-Bold -pointsize 13 \
    -gravity south -annotate +0+6 'Vimo' -quality 90 Logo.jpg
