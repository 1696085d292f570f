#!/usr/bin/env bash
# The served web page's load time on the demo data: tern-cli watch --simulate serves it and
# headless chromium loads it LOADS times (default 10) with its cache off. A figure, not a test.
#
#   cmake --build --preset release && scripts/measure-web-page.sh [LOADS]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh chromium
program=build/release/bench/web_page_load
[ -x "$program" ] || { echo "Zuerst bauen: cmake --build --preset release" >&2; exit 1; }
exec "$program" "${1:-10}"
