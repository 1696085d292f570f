#!/bin/sh
# Renders the SVG sources of this folder (and the application icon) into the PNGs that the
# program loads. Run from anywhere; needs rsvg-convert (librsvg2-bin), optipng is optional.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
assets="$here/../assets"

render() { # svg width height png
  rsvg-convert -w "$2" -h "$3" "$1" -o "$4"
  if command -v optipng >/dev/null 2>&1; then optipng -quiet -o5 -strip all "$4"; fi
}

mkdir -p "$assets/pictures/toolbar" "$assets/pictures/state"

render "$here/startup_de.svg" 980 620 "$assets/pictures/startup_de.png"

for svg in "$here"/toolbar/*.svg; do
  name=$(basename "$svg" .svg)
  render "$svg" 24 24 "$assets/pictures/toolbar/$name.png"
  render "$svg" 48 48 "$assets/pictures/toolbar/$name@2x.png"
done

for svg in "$here"/state/*.svg; do
  name=$(basename "$svg" .svg)
  render "$svg" 16 16 "$assets/pictures/state/$name.png"
  render "$svg" 32 32 "$assets/pictures/state/$name@2x.png"
done

render "$assets/desktop/tern.svg" 256 256 "$assets/desktop/tern.png"

# The 18 wind map icons, numbered as the map uses them: 0..15 the arrow turned clockwise in
# 22.5 degree steps from north, 16 calm, 17 not measured. On white, as the map's drawing rule
# skips white pixels.
mkdir -p "$assets/pictures/wind"
tmp=$(mktemp -d)
for i in $(seq 0 15); do
  angle=$(awk "BEGIN { print $i * 22.5 }")
  sed "s/rotate(0 7 7)/rotate($angle 7 7)/" "$here/wind/arrow.svg" >"$tmp/arrow.svg"
  rsvg-convert -b white -w 16 -h 16 "$tmp/arrow.svg" -o "$assets/pictures/wind/$(printf 'wind_%02d' "$i").png"
done
rm -rf "$tmp"
rsvg-convert -b white -w 16 -h 16 "$here/wind/calm.svg" -o "$assets/pictures/wind/wind_16.png"
rsvg-convert -b white -w 16 -h 16 "$here/wind/not_measured.svg" -o "$assets/pictures/wind/wind_17.png"
