#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite with ctest
# (user-interface tests run on Qt's offscreen platform).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
ctest --preset release -j "$(nproc)" "$@"
