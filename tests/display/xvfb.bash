# Shared by the window tests: a private X server, a small circuit of known values, screenshots.
# Sourced, not run. Needs TAVRIN_SOURCE_DIR and TAVRIN_BINARY_DIR.

set -u

XVFB_PID=""
APP_PID=""
WORK_DIR=$(mktemp -d /tmp/tavrin-display-XXXXXX)
FAILURES=0

cleanup() {
  if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then kill "$APP_PID" 2>/dev/null; wait "$APP_PID" 2>/dev/null; fi
  if [ -n "$XVFB_PID" ] && kill -0 "$XVFB_PID" 2>/dev/null; then kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; fi
  rm -rf "$WORK_DIR"
}
trap cleanup EXIT
trap "exit 1" TERM INT HUP

fail() {
  echo "FAIL: $*" >&2
  FAILURES=$((FAILURES + 1))
}

check_eq() {  # description expected actual
  if [ "$2" != "$3" ]; then fail "$1: expected '$2', got '$3'"; else echo "ok: $1"; fi
}

finish() {
  if [ "$FAILURES" -ne 0 ]; then
    echo "$FAILURES check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}

source "$TAVRIN_SOURCE_DIR/tests/support/xvfb.bash"

start_xvfb() {
  start_private_xvfb || { echo "could not start Xvfb" >&2; exit 1; }
}

# Builds the test circuit against the simulator library (once; concurrent callers wait).
# The grid has rows a..c and columns a..d; every value has a probe of its own.
build_circuit() {
  CIRCUIT_EXE="$TAVRIN_BINARY_DIR/display-test-circuit"
  local lib="$TAVRIN_BINARY_DIR/libtavrin_sim.a"
  local src="$TAVRIN_BINARY_DIR/display-test-circuit.cpp"
  (
    flock 9
    cat >"$src.new" <<'EOF'
#include "tavrin.h"

void simnet() {
  Signal a(1, "a"), b(1, "b"), u(1, "u"), x(1, "x"), hz(1, "hz"), ck(1, "ck"), mo(1, "mo");
  Switch(SD("aa"), a, 'a', Zero, "sa");   // ZERO until 'a' is pressed
  Switch(SD("ab"), b, 'b', One, "sb");    // ONE
  Not(SD("ac"), u, x);                    // u is never driven: x is XXX
  Clock(SD("ad"), ck, 20, 10, 40, Zero);  // keeps time moving for stop times
  Probe(SD("ba"), a, "pa");
  Probe(SD("bb"), b, "pb");
  Probe(SD("bc"), x, "px");
  Probe(SD("bd"), hz, "phz");
  SD box("ca");
  Module(box, "M", b, mo);                // drawn at level 1 only
  Probe(SD(box, "aa"), b, "ib");          // level 2
  Probe(SD(box, "ab"), a, "ia");          // level 2
  Probe(SD("cb"), u, "pu");
  Tsb(SD("cd"), b, Zero, hz);             // never enabled: HIZ
}
EOF
    if [ ! -x "$CIRCUIT_EXE" ] || ! cmp -s "$src.new" "$src" || [ "$lib" -nt "$CIRCUIT_EXE" ]; then
      mv "$src.new" "$src"
      g++ -std=c++20 -O1 ${TAVRIN_CIRCUIT_FLAGS:-} -I"$TAVRIN_SOURCE_DIR/src-simulator" "$src" \
        "$TAVRIN_SOURCE_DIR/src-simulator/startup/main.cpp" "$lib" -lX11 -o "$CIRCUIT_EXE" || exit 1
    else
      rm -f "$src.new"
    fi
  ) 9>"$TAVRIN_BINARY_DIR/display-test-circuit.lock" || { echo "could not build the test circuit" >&2; exit 1; }
}

# Starts a program in the background (standard output and error into $WORK_DIR/app.out, app.err).
start_app() {
  "$@" >"$WORK_DIR/app.out" 2>"$WORK_DIR/app.err" &
  APP_PID=$!
}

# Waits for a top-level window with the given title; prints its id.
wait_window() {
  local i id
  for i in $(seq 1 200); do
    id=$(xwininfo -root -children 2>/dev/null | awk -v t="\"$1\":" 'index($0, " " t " ") { print $1; exit }')
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

# Ends the running program: F10 first, then by its id.
stop_app() {
  local id=$1 i
  [ -n "$APP_PID" ] || return 0
  if [ -n "$id" ]; then
    xdotool key --window "$id" F10 2>/dev/null
    for i in $(seq 1 100); do
      kill -0 "$APP_PID" 2>/dev/null || break
      sleep 0.05
    done
  fi
  if kill -0 "$APP_PID" 2>/dev/null; then kill "$APP_PID" 2>/dev/null; fi
  wait "$APP_PID" 2>/dev/null
  APP_PID=""
}

# Screenshot of a window into a PNG file.
shoot() {  # window-id file
  timeout 30 import -window "$1" "$2"
}

# The id of the window with this title, or the end of the test when it does not appear.
window_or_end() {  # title what
  local id
  if ! id=$(wait_window "$1"); then
    fail "$2: no window titled \"$1\" appeared"
    echo "--- program's standard error:" >&2
    head -c 2000 "$WORK_DIR/app.err" >&2
    exit 1
  fi
  echo "$id"
}

# Screenshots until the pixel shows the colour (the drawing has settled), at most about 15 s.
shoot_until() {  # window-id file x y RRGGBB
  local i
  for i in $(seq 1 30); do
    shoot "$1" "$2" && [ "$(pixel "$2" "$3" "$4")" = "$5" ] && return 0
    sleep 0.5
  done
  return 0  # the checks that follow report what is wrong
}

# Colour of one pixel as RRGGBB.
pixel() {  # file x y
  convert "$1" -format "%[hex:u.p{$2,$3}]" info: | cut -c1-6
}

# Number of pixels of a colour in a rectangle.
count_colour() {  # file w h x y RRGGBB
  convert "$1" -crop "$2x$3+$4+$5" +repage txt:- | grep -ci "#$6"
}
