#!/usr/bin/env bash
# Takes a fixed set of screenshots of the program on the simulated receiver (every page, the
# tool buttons that change a page, every dialog a tool button opens) and compares two such
# sets pixel for pixel. A change of the window's code that should look the same is checked
# by taking a set before and one after:
#
#   scripts/compare-screenshots.sh take /tmp/shots-before     # on the old code
#   scripts/compare-screenshots.sh take /tmp/shots-after      # on the new code
#   scripts/compare-screenshots.sh compare /tmp/shots-before /tmp/shots-after
#
# Every shot starts the program afresh under Xvfb on an empty data folder, a fixed home and
# runtime folder, with the wall clock stopped at the same moment (faketime), so the simulated
# receiver holds the same day each time. The one thing that still moves, the UTC clock in the
# status bar, is masked before comparing. `compare` exits 1 when a shot differs and leaves a
# picture of the difference beside the second set (diff-<name>.png).
#
# Uses build/release/bin/tern (build it first: cmake --build --preset release).
set -euo pipefail
cd "$(dirname "$0")/.."
# A fixed start time and the pixel comparison; not needed to build or test, so not in the
# default package list.
scripts/install-deps.sh faketime imagemagick

program="$PWD/build/release/bin/tern"
start_time="2026-06-15 10:00:05"
run_root=/tmp/tern-screenshot-run  # fixed: file dialogs show the paths they start in

# name | page caption | tool buttons pressed in order (space separated)
shots=(
  "start||"
  "wetter-deutsch|WETTER DEUTSCH|"
  "wetter-englisch|WETTER ENGLISCH|"
  "navtex|NAVTEX|"
  "barograph|BAROGRAPH|"
  "synop|SYNOP|"
  "fax-dwd|FAX DWD|"
  "fax-northwood|FAX Northwood|"
  "fax-halifax|FAX Halifax|"
  "fax-boston|FAX Boston|"
  "fax-new-orleans|FAX New Orleans|"
  "hilfe|HILFE|"
  "help-button|BAROGRAPH|HelpToolButton"
  "wetter-deutsch-collapsed|WETTER DEUTSCH|CollapseToolButton"
  "navtex-collapsed|NAVTEX|CollapseToolButton"
  "barograph-zoom-in|BAROGRAPH|BaroZoomInToolButton"
  "barograph-zoom-out|BAROGRAPH|BaroZoomInToolButton BaroZoomOutToolButton"
  "fax-dwd-full|FAX DWD|BaroZoomInToolButton"
  "fax-dwd-turned|FAX DWD|RotateToolButton"
  "fax-boston-full-turned|FAX Boston|BaroZoomInToolButton RotateToolButton"
  "dialog-config|BAROGRAPH|ConfigToolButton"
  "dialog-system|BAROGRAPH|SystemToolButton"
  "dialog-receive-test|BAROGRAPH|ReceiveTestToolButton"
  "dialog-save-message|WETTER DEUTSCH|SaveToolButton"
  "dialog-load-message|NAVTEX|LoadToolButton"
  "dialog-print-message|WETTER ENGLISCH|PrintToolButton"
  "dialog-save-barograph|BAROGRAPH|SaveToolButton"
  "dialog-print-synop|SYNOP|PrintToolButton"
  "dialog-save-fax|FAX DWD|SaveToolButton"
  "dialog-print-fax|FAX Halifax|PrintToolButton"
  "dialog-print-help|HILFE|PrintToolButton"
)

usage() {
  sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
}

# One shot: a fresh program run that writes $1.
take_one() {
  local file=$1 page=$2 clicks=$3
  rm -rf "$run_root"
  mkdir -p "$run_root/home" "$run_root/data" "$run_root/runtime"
  chmod 700 "$run_root/runtime"
  local args=(--simulate --data-folder "$run_root/data" --screenshot "$file"
    --screenshot-delay 8000)
  [ -n "$page" ] && args+=(--page "$page")
  for button in $clicks; do args+=(--click "$button"); done
  (cd "$run_root/home" &&
    HOME="$run_root/home" XDG_RUNTIME_DIR="$run_root/runtime" XDG_DATA_HOME="$run_root/home/data" \
      XDG_CONFIG_HOME="$run_root/home/config" TZ=UTC LC_ALL=C.UTF-8 LANG=C.UTF-8 \
      FAKETIME_DONT_FAKE_MONOTONIC=1 \
      xvfb-run -a -s "-screen 0 1280x800x24" faketime -f "$start_time" "$program" "${args[@]}" \
      >/dev/null 2>&1) || true
  [ -s "$file" ] || { echo "no screenshot for $(basename "$file")" >&2; return 1; }
}

take() {
  local out=$1
  [ -x "$program" ] || { echo "build the program first: $program" >&2; exit 1; }
  for tool in xvfb-run faketime compare; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
  done
  mkdir -p "$out"
  local failed=0
  for entry in "${shots[@]}"; do
    IFS='|' read -r name page clicks <<<"$entry"
    echo "taking $name"
    take_one "$out/$name.png" "$page" "$clicks" || failed=1
  done
  rm -rf "$run_root"
  return $failed
}

# The main window's UTC clock: status panel 4, 610..710 pixels from the left, at the bottom.
mask() {
  local in=$1 out=$2
  local size height
  size=$(identify -format '%w %h' "$in")
  height=${size#* }
  if [ "${size% *}" = 980 ]; then
    convert "$in" -fill magenta -draw "rectangle 610,$((height - 26)) 710,$((height - 1))" "$out"
  else
    cp "$in" "$out"
  fi
}

compare_sets() {
  local a=$1 b=$2 differ=0 work
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN
  for entry in "${shots[@]}"; do
    local name=${entry%%|*}
    if [ ! -s "$a/$name.png" ] || [ ! -s "$b/$name.png" ]; then
      echo "MISSING $name"
      differ=1
      continue
    fi
    mask "$a/$name.png" "$work/a.png"
    mask "$b/$name.png" "$work/b.png"
    local pixels
    pixels=$(compare -metric AE "$work/a.png" "$work/b.png" "$b/diff-$name.png" 2>&1 || true)
    if [ "$pixels" = 0 ]; then
      echo "same    $name"
      rm -f "$b/diff-$name.png"
    else
      echo "DIFFERS $name ($pixels pixels; $b/diff-$name.png)"
      differ=1
    fi
  done
  return $differ
}

case "${1:-}" in
  take) [ $# -eq 2 ] || usage; take "$2" ;;
  compare) [ $# -eq 3 ] || usage; compare_sets "$2" "$3" ;;
  *) usage ;;
esac
