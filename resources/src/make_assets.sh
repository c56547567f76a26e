#!/bin/sh
# Rebuilds the built-in pictures and sounds from the sources in this folder.
# Needs rsvg-convert (librsvg2-bin), ImageMagick's convert and sox. The models are made by
# tools/make_resource_models.py, the calibration grid is written by hand in ../img/grid.svg.
set -eu
src=$(cd "$(dirname "$0")" && pwd)
img="$src/../img"
sounds="$src/../sounds"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Pictures: transparent where the design has no colour, metadata stripped so rebuilds are equal.
rsvg-convert -w 256 -h 256 "$src/logo.svg" -o "$work/logo.png"
convert "$work/logo.png" -strip "$img/logo.png"
convert "$work/logo.png" -strip -define icon:auto-resize=64,48,32,16 "$img/logo.ico"
rsvg-convert -w 200 -h 47 "$src/logo_full.svg" -o "$work/logo_full.png"
convert "$work/logo_full.png" -strip "$img/logo_full.png"
rsvg-convert "$src/ImgCalibration.svg" -o "$work/calibration.png"
convert "$work/calibration.png" -strip -colors 64 "$img/ImgCalibration.png"
for arrow in arrow_up arrow_down; do
    rsvg-convert "$src/$arrow.svg" -o "$work/$arrow.png"
    convert "$work/$arrow.png" -strip "$img/$arrow.png"
done
# The grid at 10 px per millimetre: its 0.2 mm lines fall on whole pixels, two colours only.
rsvg-convert -w 902 -h 902 "$img/grid.svg" -o "$work/grid.png"
convert "$work/grid.png" -background black -flatten -strip PNG8:"$img/grid.png"

# Sounds: mono, 22050 Hz, 16 bit, no dither so that rebuilds are equal.
tone() { sox -D -n -r 22050 -c 1 -b 16 "$@"; }
tone "$work/low.wav" synth 0.16 sine 880 sine 1760 remix 1v0.8,2v0.2 fade q 0.005 0.16 0.06
tone "$work/high.wav" synth 0.38 sine 1319 sine 2638 remix 1v0.8,2v0.2 fade q 0.005 0.38 0.3
sox -D "$work/low.wav" "$work/high.wav" "$sounds/success.wav" vol 0.6
tone "$sounds/error.wav" synth 0.45 square 98 vol 0.5 lowpass 900 tremolo 12 40 \
    fade t 0.01 0.45 0.08 vol 0.9
tone "$sounds/wait.wav" synth 0.35 sine 587 fade h 0.04 0.35 0.2 vol 0.4
