#!/bin/bash
# The processor as a user runs it, timed by the wall clock, start-up included:
#
#   bench/timed-run.sh [--cycles N] scripted|window BUILD
#
#   scripted  tavrin -X -k 0,1*2N: N clock cycles pressed by the key script, the probe lines
#             (standard error) and standard output sent to /dev/null; N defaults to 10,000
#   window    tavrin -T 240N -k 0,1*2N in its window on a private Xvfb (1280x1024x24) that the
#             script starts before the run and stops after it, every pane live; the stop time
#             ends the run after about N cycles; N defaults to 5,000. Never an existing display.
#
# BUILD is a build directory with tavrin in it. Prints one key=value line:
#   run=<run> cycles=N seconds=<wall seconds> cycles_per_s=<N / seconds>
# Exits with 1 when tavrin fails or no X server can be started, 2 on wrong arguments.
set -euo pipefail

cycles=""
if [ "${1:-}" = "--cycles" ] && [ $# -ge 2 ]; then
  cycles=$2
  shift 2
fi
if [ $# -ne 2 ] || { [ "$1" != scripted ] && [ "$1" != window ]; } ||
   { [ -n "$cycles" ] && ! [[ "$cycles" =~ ^[1-9][0-9]*$ ]]; }; then
  echo "usage: $0 [--cycles N] scripted|window BUILD" >&2
  exit 2
fi
run=$1
exe=$2/tavrin
[ -x "$exe" ] || { echo "$0: $exe is not an executable" >&2; exit 2; }
if [ -z "$cycles" ]; then
  if [ "$run" = scripted ]; then cycles=10000; else cycles=5000; fi
fi

if [ "$run" = window ]; then
  XVFB_PID=""
  trap '[ -z "$XVFB_PID" ] || { kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; } || true' EXIT
  # shellcheck source=../tests/support/xvfb.bash
  . "$(dirname "$0")/../tests/support/xvfb.bash"
  start_private_xvfb || { echo "$0: could not start Xvfb" >&2; exit 1; }
  set -- "$exe" -T $((240 * cycles)) -k "0,1*$((2 * cycles))"
else
  unset DISPLAY
  set -- "$exe" -X -k "0,1*$((2 * cycles))"
fi

start=$(date +%s.%N)
status=0
"$@" > /dev/null 2>&1 || status=$?
end=$(date +%s.%N)
if [ "$status" -ne 0 ]; then
  echo "$0: $* ended with status $status" >&2
  exit 1
fi
awk -v r="$run" -v n="$cycles" -v s="$start" -v e="$end" \
  'BEGIN { printf "run=%s cycles=%d seconds=%.3f cycles_per_s=%.0f\n", r, n, e - s, n / (e - s) }'
