#!/usr/bin/env bash
# Installs every Debian package (12 or 13) that building, testing and running TERN need, or,
# given package names, those instead (the scripts that need tools of their own use it so).
# Idempotent and quick when everything is there: apt-get runs only for missing packages.
# Works as root or through sudo.
set -euo pipefail

# Real package names where there are: dpkg never reports a virtual name (one that another
# package provides) as installed. A name that is real on one release and virtual on the other
# (Debian 13's qt6-base-dev provides libqt6opengl6-dev) counts as there when an installed
# package provides it.
packages=(
  # toolchain
  g++ cmake ninja-build pkg-config git
  # window toolkit, charts, printing
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-qpa-plugins libgl-dev
  # Qt Charts needs the OpenGL module at configure time; Qt's GUI wants XKB
  libqt6opengl6-dev libxkbcommon-dev
  # German texts of Qt's own dialogs and menus
  qt6-translations-l10n
  # receiver access
  libftdi1-dev
  # command-line tool
  nlohmann-json3-dev
  # the service's web page: the HTTP server and the fax charts as PNG pictures
  libmicrohttpd-dev libpng-dev
  # fax charts as GeoTIFF and MBTiles: GDAL with PROJ (large: about 115 packages)
  libgdal-dev
  # tests, benchmarks, fuzzing
  libgtest-dev libgmock-dev libbenchmark-dev clang
  # one code style, checked by a test
  clang-format
  # printing tests render the printed PDF pages back to images
  poppler-utils
  # the GPX export is checked against the GPX 1.1 schema
  libxml2-utils
  # the desktop entry, AppStream file and manual pages are checked as Debian checks them
  desktop-file-utils appstream man-db
  # running without a display, and fonts: "Courier New" resolves to Liberation Mono
  xvfb xauth fonts-liberation fonts-dejavu-core
  # the web page is tested in a real browser
  chromium
)
# --list: the packages only, one a line (the arm64 root takes the libraries among them).
if [ "${1:-}" = --list ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi
[ $# -eq 0 ] || packages=("$@")

provided=" $(dpkg-query -W -f='${Status}\t${Provides}\n' 2>/dev/null |
  awk -F'\t' '$1 == "install ok installed" && $2 != "" { print $2 }' |
  tr ',' '\n' | awk '{ print $1 }' | tr '\n' ' ') "
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' &&
    [[ "$provided" != *" $p "* ]]; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
