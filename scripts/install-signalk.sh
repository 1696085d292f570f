#!/usr/bin/env bash
# Installs the Signal K server that the boat-network test runs against: signalk-server from
# the npm registry, pinned, into the user's cache folder (never system-wide):
#   ${XDG_CACHE_HOME:-~/.cache}/tern/signalk-server/
# The test runs it when the server is missing. The server needs Node.js 20 or newer; without
# it (Debian 12's own Node.js is 18), or when the npm registry cannot be reached, nothing is
# installed and the line printed says why. Package scripts are not run: the server needs
# none of them. Idempotent and quick when the pinned version is there.
set -euo pipefail

version=2.23.0
dir="${XDG_CACHE_HOME:-$HOME/.cache}/tern/signalk-server"

if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  echo "No Node.js or npm: the Signal K test will be skipped (it needs Node.js 20 or newer)."
  exit 0
fi
major=$(node -p 'process.versions.node.split(".")[0]')
if [ "$major" -lt 20 ]; then
  echo "Node.js $(node --version) is older than 20: the Signal K test will be skipped."
  exit 0
fi
installed=$(node -p "try { require('$dir/node_modules/signalk-server/package.json').version } catch (e) { '' }")
[ "$installed" = "$version" ] && exit 0

if ! timeout 30 npm ping >/dev/null 2>&1; then
  echo "The npm registry cannot be reached: the Signal K test will be skipped."
  exit 0
fi
echo "Installing signalk-server $version into $dir (a few minutes) ..."
mkdir -p "$dir"
if ! npm install --prefix "$dir" --no-audit --no-fund --omit=dev --ignore-scripts \
    "signalk-server@$version" >"$dir/npm-install.log" 2>&1; then
  echo "npm could not install signalk-server (see $dir/npm-install.log); the Signal K test will be skipped." >&2
fi
