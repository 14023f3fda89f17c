#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, the real output's beside a private
# JACK server.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/setup-debian.sh"
"$here/build.sh"
cd "$here/../${VX_BUILD_DIR:-build}"
mkdir -p xdg-runtime && chmod 700 xdg-runtime
QT_QPA_PLATFORM=offscreen "$here/with-jack.sh" ctest --output-on-failure -j "$(nproc)" "$@"
