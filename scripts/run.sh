#!/usr/bin/env bash
# Installs what is missing, builds and starts Velumix. Arguments go to the program.
set -euo pipefail
here="$(dirname "$0")"
"$here/setup-debian.sh"
"$here/build.sh" --target velumix
exec "$here/../${VX_BUILD_DIR:-build}/src/velumix" "$@"
