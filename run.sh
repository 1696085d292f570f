#!/usr/bin/env bash
# Installs what is missing, builds, and starts TERN with the given arguments
# (for example: ./run.sh --simulate). Without a display it runs the program under Xvfb,
# saves a screenshot of the main window once the start-up picture has gone, prints the
# screenshot's path and exits.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target tern tern-cli tern_assets
program=build/release/bin/tern
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$program" "$@"
fi
shot="$PWD/build/tern-screenshot.png"
rm -f "$shot"
# A private runtime folder, so the headless run never meets a TERN already running on this
# user's desktop.
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR="$runtime" xvfb-run -a -s "-screen 0 1280x800x24" \
  "$program" --screenshot "$shot" --screenshot-delay 5000 "$@"
[ -s "$shot" ] || { echo "Es wurde kein Bildschirmfoto geschrieben." >&2; exit 1; }
echo "Keine Anzeige gefunden: TERN lief unter Xvfb. Bildschirmfoto des Hauptfensters: $shot"
