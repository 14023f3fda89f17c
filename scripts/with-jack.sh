#!/usr/bin/env bash
# Runs a command beside a private JACK server on the dummy driver (no sound card needed), then stops the
# server whatever happened. The command finds the server through JACK_DEFAULT_SERVER and
# VX_JACK_SERVER; where jackd cannot start, it runs without them and the JACK tests say they skipped.
# VX_JACK_RATE and VX_JACK_PERIOD (default 44100 Hz, 256 frames) set the server's clock.
# The server has four playback ports, so that an output with the headphones on channels 3-4 opens.
set -euo pipefail

name="velumix-test-$$"
log=$(mktemp)
jackd_pid=""
stop_jack() {
  if [ -n "$jackd_pid" ]; then
    kill "$jackd_pid" 2>/dev/null || true
    wait "$jackd_pid" 2>/dev/null || true
  fi
  rm -f "$log"
}
trap stop_jack EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if command -v jackd >/dev/null; then
  jackd -n "$name" -d dummy -r "${VX_JACK_RATE:-44100}" \
    -p "${VX_JACK_PERIOD:-256}" -P 4 >"$log" 2>&1 &
  jackd_pid=$!
  if jack_wait -s "$name" -w -t 10 >/dev/null 2>&1 && kill -0 "$jackd_pid" 2>/dev/null; then
    export JACK_DEFAULT_SERVER="$name" VX_JACK_SERVER="$name"
  else
    echo "with-jack: jackd could not start; going on without a JACK server:" >&2
    cat "$log" >&2
    stop_jack
    jackd_pid=""
  fi
else
  echo "with-jack: jackd is not installed; going on without a JACK server" >&2
fi

set +e
"$@"
status=$?
set -e
exit "$status"
