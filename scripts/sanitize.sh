#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ (or
# $VX_ASAN_BUILD_DIR) and runs every test there beside a private JACK server. Any sanitizer report fails
# its test. Leaks of system libraries are suppressed by tests/sanitize/lsan.supp, never ours; the
# real-time tests are not built here (tests/CMakeLists.txt says why). Arguments go to ctest.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
build=${VX_ASAN_BUILD_DIR:-build-asan}
"$here/setup-debian.sh"
VX_BUILD_DIR="$build" VX_CMAKE_OPTIONS="-DVELUMIX_SANITIZE=ON" "$here/build.sh"
cd "$root/$build"
mkdir -p xdg-runtime && chmod 700 xdg-runtime
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tests/sanitize/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
QT_QPA_PLATFORM=offscreen "$here/with-jack.sh" ctest --output-on-failure -j "$(nproc)" "$@"
