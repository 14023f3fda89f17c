#!/usr/bin/env bash
# Installs what is missing, builds in release mode and prints the benchmark figures (name value unit).
set -euo pipefail
here="$(dirname "$0")"
"$here/setup-debian.sh"
VX_BUILD_DIR=${VX_BUILD_DIR:-build-release} VX_BUILD_TYPE=Release "$here/build.sh" --target velumix_bench
exec "$here/../${VX_BUILD_DIR:-build-release}/bench/velumix_bench" "$@"
