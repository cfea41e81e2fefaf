#!/usr/bin/env bash
# Renders the logo mark (logo.svg, drawn by hand for this project) into the pictures the windows
# use. Run once after changing logo.svg; the results are committed, so builds do not need it.
set -euo pipefail
cd "$(dirname "$0")"

render() {  # render SIZE_PX OUTPUT: the mark, square, on white
  convert -background white -density 384 logo.svg -resize "$1x$1" -flatten "$2"
}
render 52 logo_52.jpg
# The splash picture is 206 x 208: the 206-pixel mark centred on a white canvas one row taller.
convert -background white -density 768 logo.svg -resize 206x206 -flatten \
  -gravity center -extent 206x208 logo_206x208.jpg
for size in 16 32; do
  convert -background white -density 192 logo.svg -resize "${size}x${size}" -flatten \
    -define png:color-type=2 "PNG24:icon_${size}.png"
done
