#!/usr/bin/env bash
# Redraws the menu icons in icons/ with ImageMagick: 16 and 32 px are the
# online tray picture from ../res/OnLine.ico, 48 and 128 px the same green
# disc with a tick drawn at those sizes. The results are committed; run this
# only to change them.
set -euo pipefail
cd "$(dirname "$0")"

convert '../res/OnLine.ico[0]' icons/vimo-16.png
convert '../res/OnLine.ico[1]' icons/vimo-32.png

draw() {
    local size=$1 scale
    scale=$(echo "$size / 32" | bc -l)
    convert -size "${size}x${size}" xc:none \
        -draw "scale $scale,$scale fill '#1a9c2a' circle 15.5,15.5 15.5,1" \
        -draw "scale $scale,$scale fill white polygon 8,16 14,22 24,8 25,12 14,26 7,19" \
        "icons/vimo-$size.png"
}
draw 48
draw 128
