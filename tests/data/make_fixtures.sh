#!/usr/bin/env bash
# Makes the small audio fixtures the tests read, from generated tones, into the folder given.
set -euo pipefail
out=${1:?usage: make_fixtures.sh OUTPUT_DIR}
mkdir -p "$out"
