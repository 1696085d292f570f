#!/usr/bin/env bash
# Makes every picture of the README (docs/images, or the folder given) from the current
# build, on the simulated receiver:
#
#   cmake --build --preset release && scripts/make-readme-pictures.sh [FOLDER]
#
# Each window picture is a fresh `tern --simulate` under Xvfb on an empty data folder, with
# the wall clock stopped at one moment (faketime), through the program's own --screenshot,
# --page, --click and --hover. The configuration dialog and the printed fax chart come from
# the user-interface tests, the update and reception-test dialogs from tests/dialog_shots,
# the desktop notification from a notification server (dunst) on the same virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh faketime imagemagick poppler-utils dunst dbus
out=$(realpath -m "${1:-docs/images}")
mkdir -p "$out"
build=$PWD/build/release
program=$build/bin/tern
[ -x "$program" ] || { echo "Zuerst bauen: cmake --build --preset release" >&2; exit 1; }
start_time="2026-06-15 10:00:05"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A cell of the wind map with a coastal station (HELGOLAND), in map pixels.
station=Image1@846,630

# shot NAME [tern options...]: one fresh run of the window.
shot() {
  local name=$1
  shift
  rm -rf "$work/run"
  mkdir -p "$work/run/home" "$work/run/data" "$work/run/runtime"
  chmod 700 "$work/run/runtime"
  (cd "$work/run/home" &&
    HOME="$work/run/home" XDG_RUNTIME_DIR="$work/run/runtime" XDG_DATA_HOME="$work/run/home/data" \
      XDG_CONFIG_HOME="$work/run/home/config" TZ=UTC LC_ALL=C.UTF-8 LANG=C.UTF-8 \
      FAKETIME_DONT_FAKE_MONOTONIC=1 \
      xvfb-run -a -s "-screen 0 1280x800x24" faketime -f "$start_time" \
      ${WRAP:-} "$program" --simulate --data-folder "$work/run/data" \
      --screenshot "$out/$name.png" --screenshot-delay 8000 "$@" >/dev/null 2>&1) || true
  [ -s "$out/$name.png" ] || { echo "kein Bild: $name" >&2; return 1; }
  echo "$name.png"
}

shot main-window --page BAROGRAPH
shot wetter-deutsch --page "WETTER DEUTSCH"
shot navtex --page NAVTEX
shot fax-half --page "FAX DWD"
shot fax-full --page "FAX DWD" --click BaroZoomInToolButton
shot fax-turned --page "FAX DWD" --click RotateToolButton
shot synop-map --page SYNOP
# The hint is a window of its own: the screen is taken and cut to what is not black.
shot synop-hint --page SYNOP --hover "$station" --screenshot-screen
convert "$out/synop-hint.png" -trim +repage "$out/synop-hint.png"
shot synop-message --page SYNOP --click "$station"
shot seewetter --page SEEWETTER
shot system-info --click SystemToolButton
shot alert-list --page BAROGRAPH --click AlertLabel
# The demo's squall line as a desktop notification, with its own session bus and server.
cat >"$work/notify.sh" <<'INNER'
#!/usr/bin/env bash
dunst >/dev/null 2>&1 &
sleep 1
exec "$@"
INNER
chmod +x "$work/notify.sh"
WRAP="dbus-run-session -- $work/notify.sh" shot pressure-alert --page BAROGRAPH --screenshot-screen
convert "$out/pressure-alert.png" -trim +repage "$out/pressure-alert.png"

# The configuration dialog on a schedule page, on the summary and on "Meine Seegebiete".
TERN_SCREENSHOT_DIR="$out" XDG_RUNTIME_DIR="$work" "$build/tests/ui_tests" \
  --gtest_filter='ConfigFormTest.DrawsASchedulePageAndTheSummary:ConfigFormTest.MySeaAreasPage*' \
  >/dev/null
echo "config-schedule.png config-summary.png config-sea-areas.png"
# A fax chart printed on a landscape page, the printed PDF rendered back.
TERN_KEEP_PRINTED_FAX="$work/fax.pdf" XDG_RUNTIME_DIR="$work" \
  "$build/tests/ui_tests" --gtest_filter='ExportTest.FaxSave*' >/dev/null
pdftoppm -png -r 40 -singlefile "$work/fax.pdf" "$out/printed-fax"
echo "printed-fax.png"
# The update mid-transfer and after a lost acknowledgement, and the reception test.
XDG_RUNTIME_DIR="$work" xvfb-run -a "$build/tests/dialog_shots" "$out" >/dev/null 2>&1
echo "update-dialog.png update-waiting.png receive-test.png"
# The web page at phone and screen size, from its browser test (docs/screenshots).
TERN_WEB_SCREENSHOTS="$PWD/docs/screenshots" XDG_RUNTIME_DIR="$work" \
  "$build/tests/web_browser_tests" --gtest_filter='WebBrowser.*' >/dev/null
echo "web-360x740.png web-1920x1080.png and their -dunkel, -nacht and -seewetter views"
