#!/bin/bash
# Regenerates docs/screenshot.png: runs the simulator under a private Xvfb, releases reset, clocks
# the processor a few cycles and captures the window. With NO_LINES=1 it hides the
# interconnecting lines (F2) first and writes docs/screenshot-panes.png, the README's first picture.
#
#   scripts/screenshot.sh [path/to/tavrin]     (default: $TAVRIN_EXE, else build/tavrin)
#   NO_LINES=1 scripts/screenshot.sh
#
# Needs Xvfb, xdotool, xwininfo and ImageMagick's import.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-${TAVRIN_EXE:-$root/build/tavrin}}
if [ -n "${NO_LINES:-}" ]; then out=$root/docs/screenshot-panes.png; else out=$root/docs/screenshot.png; fi
cycles=${CYCLES:-6}
title="Tavrin v20200116"

[ -x "$exe" ] || { echo "no simulator at $exe (build it first, or pass its path)" >&2; exit 1; }

xvfb_pid=""
app_pid=""
cleanup() {
  set +e
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  return 0
}
trap cleanup EXIT
trap "exit 1" TERM INT HUP

source "$root/tests/support/xvfb.bash"
start_private_xvfb || { echo "could not start Xvfb" >&2; exit 1; }
xvfb_pid=$XVFB_PID

"$exe" >/dev/null 2>&1 &
app_pid=$!

id=""
for i in $(seq 1 400); do
  id=$(xwininfo -root -children | awk -v t="\"$title\":" 'index($0, " " t " ") { print $1; exit }')
  [ -n "$id" ] && break
  sleep 0.05
done
[ -n "$id" ] || { echo "the simulator opened no window" >&2; exit 1; }

sleep 2
press() { xdotool key --window "$id" "$1" 2>/dev/null; }
press 0                  # release reset
sleep 1
for c in $(seq 1 $((2 * cycles))); do
  press 1                # each press flips the clock
  sleep 0.5
done
if [ -n "${NO_LINES:-}" ]; then
  press F2               # interconnecting lines off: the panes and their colours stand out
  sleep 1
fi
sleep 2

mkdir -p "$(dirname "$out")"
import -window "$id" "$out"
echo "wrote $out"
