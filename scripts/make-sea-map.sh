#!/usr/bin/env bash
# Draws the land of the sea weather map from real coastline data: the Generic Mapping Tools
# with the GSHHG shorelines of Debian, land and coasts opaque, sea and lakes transparent,
# quantised to 16 colours. The result is committed as assets/pictures/sea_map_land.png, so
# building and testing never need GMT; run this only to change the picture. Installs what it
# needs (as root or through sudo).
#
# The map paints the areas' fills first and this picture over them: the area outlines may run
# over land, the real coast cuts them off. Geometry (the window and the web page lay it over
# the outlines, seaweather/sea_map.h): the outline box of 6.5 W to 31 E and 48 to 66.5 N as a
# plate carrée whose longitudes are shortened by the cosine of 57 degrees, 1500 pixels wide
# for the 1000 units of the map (1.5 pixels per unit), 1359 rows for its 905.8 units.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out="$here/../assets/pictures/sea_map_land.png"

"$here/install-deps.sh" gmt gmt-gshhg-low gmt-gshhg-high ghostscript pngquant

west=-6.5
east=31
south=48
north=66.5
width=1500
height=1359
dpi=100
size_x=$(awk "BEGIN { printf \"%.4f\", $width / $dpi }")
size_y=$(awk "BEGIN { printf \"%.4f\", $height / $dpi }")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The wind map's land colour and coast, so both maps look alike; borders lighter than there,
# as the sea areas are what matters here. Islands down to 1 km² stay: the Danish islands, the
# skerries and the Frisian islands are where sailors look.
land=206/202/160
gmt set MAP_FRAME_PEN 0p,white PS_MEDIA ${size_x}ix${size_y}i MAP_ORIGIN_X 0i MAP_ORIGIN_Y 0i \
  PS_PAGE_ORIENTATION portrait
gmt pscoast -R$west/$east/$south/$north -JX${size_x}i/${size_y}i -Xa0i -Ya0i -Di -A1/1/1 \
  -G$land -W1/0.5p,70/70/70 -N1/0.3p,170/155/130 -B0 >map.ps
gmt psconvert map.ps -E$dpi -TG
read -r w h < <(file map.png | sed -E 's/.* ([0-9]+) x ([0-9]+),.*/\1 \2/')
if [ "$w" != "$width" ] || [ "$h" != "$height" ]; then
  echo "the rendered map is $w x $h pixels, not $width x $height" >&2
  exit 1
fi
pngquant --force --nofs --strip --speed 1 16 --output "$out" map.png
echo "wrote $out"
