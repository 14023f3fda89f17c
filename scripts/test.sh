#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
here="$(dirname "$0")"
"$here/setup-debian.sh"
"$here/build.sh"
cd "$here/../${VX_BUILD_DIR:-build}"
mkdir -p xdg-runtime && chmod 700 xdg-runtime
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" "$@"
