#!/usr/bin/env bash
# Draws the background of the SYNOP wind map from real coastline data: the Generic Mapping
# Tools with the GSHHG shorelines of Debian, quantised to 16 colours. The result is committed
# as assets/pictures/wind_map.png, so building and testing never need GMT; run this only to
# change the picture. Installs what it needs (as root or through sudo).
#
# Geometry (the program's icons and hit test rely on it to the pixel): plate carrée, 1835 x
# 1537 pixels; longitude -20 degrees at pixel column 0 and +40 at column 1834 (30.567 px per
# degree), latitude 72 degrees at row 9 and 28 at row 1535 (34.682 px per degree). The
# picture reaches a little beyond 40 E, 72 N and 28 N to fill those last columns and rows.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out="$here/../assets/pictures/wind_map.png"

"$here/install-deps.sh" gmt gmt-gshhg-low gmt-gshhg-high ghostscript pngquant

width=1835
height=1537
dpi=100
# Degrees per pixel of the icon grid: 60 degrees over 1834 columns, 44 over 1526 rows.
west=-20
east=$(awk "BEGIN { printf \"%.6f\", -20 + $width * 60 / 1834 }")
north=$(awk "BEGIN { printf \"%.6f\", 72 + 9 * 44 / 1526 }")
south=$(awk "BEGIN { printf \"%.6f\", 28 - 2 * 44 / 1526 }")
size_x=$(awk "BEGIN { printf \"%.4f\", $width / $dpi }")
size_y=$(awk "BEGIN { printf \"%.4f\", $height / $dpi }")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Calm colours: a light sea, a muted land (white arrows of coastal stations stay legible on
# both), thin dark coasts, light borders and a graticule every 5 degrees labelled inside the
# edges. The page is exactly the picture, so nothing is cropped.
sea=150/186/218
land=206/202/160
gmt set MAP_FRAME_TYPE inside MAP_FRAME_PEN 0p,white \
  MAP_GRID_PEN_PRIMARY 0.35p,110/140/170 MAP_TICK_LENGTH_PRIMARY 0p \
  FONT_ANNOT_PRIMARY 9p,Helvetica,40/60/80 MAP_ANNOT_OFFSET_PRIMARY 3p FORMAT_GEO_MAP dddF \
  PS_MEDIA ${size_x}ix${size_y}i MAP_ORIGIN_X 0i MAP_ORIGIN_Y 0i PS_PAGE_ORIENTATION portrait
gmt pscoast -R$west/$east/$south/$north -JX${size_x}i/${size_y}i -Xa0i -Ya0i -Di -A0/1/2 \
  -S$sea -G$land -C$sea -W1/0.4p,70/70/70 -N1/0.35p,150/130/110 \
  -Bxa5g5 -Bya5g5 -BWSne >map.ps
gmt psconvert map.ps -E$dpi -Tg
read -r w h < <(file map.png | sed -E 's/.* ([0-9]+) x ([0-9]+),.*/\1 \2/')
if [ "$w" != "$width" ] || [ "$h" != "$height" ]; then
  echo "the rendered map is $w x $h pixels, not $width x $height" >&2
  exit 1
fi
pngquant --force --nofs --strip --speed 1 16 --output "$out" map.png
echo "wrote $out"
