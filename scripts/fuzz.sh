#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) into build-fuzz/ (or $VX_FUZZ_BUILD_DIR) and
# runs each from its seed corpus in tests/fuzz/corpus/<target>/ for $VX_FUZZ_SECONDS (60) seconds.
# Fails on the first crash, leak, sanitizer report, hang over 2 s or allocation over 256 MB; the input that did it
# is left in build-fuzz/artifacts/. Arguments name targets to run (default: all).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/${VX_FUZZ_BUILD_DIR:-build-fuzz}"
seconds=${VX_FUZZ_SECONDS:-60}
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(m3u tags loop_file settings)

extra=()
if command -v ccache >/dev/null; then
  extra+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd "$root/.." && pwd)}" CCACHE_NOHASHDIR=true
fi
cmake -S "$root/tests/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_COMPILER="${VX_FUZZ_CXX:-clang++}" "${extra[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

# ASan's default 256 MB quarantine of freed blocks alone would reach the run's memory limit: 16 MB still
# catches a use after free of the input just parsed.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=16}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
mkdir -p "$build/artifacts"
# The targets rewrite their input file thousands of times a second: a RAM disk where there is one.
shm=/dev/shm; [ -w "$shm" ] || shm="${TMPDIR:-/tmp}"
VX_FUZZ_SCRATCH="$(mktemp -d "$shm/velumix-fuzz-XXXXXX")"
export VX_FUZZ_SCRATCH
trap 'rm -rf "$VX_FUZZ_SCRATCH"' EXIT
for t in "${targets[@]}"; do
  # New inputs go to a scratch copy: the seeds in the tree stay the few small files they are. A fixed
  # seed makes a run repeatable; a single allocation over 256 MiB fails it, while the process as a whole
  # may hold more, since the address sanitizer keeps freed memory back for a while.
  work="$build/corpus/$t"
  rm -rf "$work" && mkdir -p "$work"
  echo "fuzz_$t: ${seconds} s"
  "$build/fuzz_$t" "$work" "$root/tests/fuzz/corpus/$t" \
    -max_total_time="$seconds" -rss_limit_mb=1024 -malloc_limit_mb=256 -timeout=2 -max_len=4096 -seed=1 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" 2>"$build/fuzz_$t.log" ||
    { tail -n 60 "$build/fuzz_$t.log"; echo "fuzz_$t failed; log: $build/fuzz_$t.log" >&2; exit 1; }
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/fuzz_$t.log" | tr '\n' ' '; echo
done
