#!/usr/bin/env bash
# Configures and builds Velumix into build/ (or $VX_BUILD_DIR); $VX_CMAKE_OPTIONS are added to the
# configuration (e.g. -DVELUMIX_SANITIZE=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VX_BUILD_DIR:-build}
extra=()
# ccache, where present, shares compiled objects between checkouts of the tree.
if command -v ccache >/dev/null; then
  extra+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd .. && pwd)}" CCACHE_NOHASHDIR=true
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${VX_BUILD_TYPE:-RelWithDebInfo} "${extra[@]}" \
  ${VX_CMAKE_OPTIONS:-} >/dev/null
cmake --build "$build" -j "$(nproc)" "$@"
