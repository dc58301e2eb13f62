# Shared by the events_*.sh checks: a private Xvfb, a small circuit, the running simulator,
# screenshots and pixel counts. Source it; everything started here is stopped on exit.
set -u

: "${TAVRIN_SOURCE_DIR:?}" "${TAVRIN_BINARY_DIR:?}"
EV_TMP=$(mktemp -d /tmp/tavrin-events.XXXXXX)
EV_XVFB_PID=""
EV_PID=""
EV_WID=""

ev_cleanup() {
  if [ -n "$EV_PID" ] && kill -0 "$EV_PID" 2>/dev/null; then
    kill "$EV_PID" 2>/dev/null
    wait "$EV_PID" 2>/dev/null
  fi
  if [ -n "$EV_XVFB_PID" ]; then
    kill "$EV_XVFB_PID" 2>/dev/null
    wait "$EV_XVFB_PID" 2>/dev/null
  fi
  rm -rf "$EV_TMP"
}
trap ev_cleanup EXIT

ev_fail() {
  echo "FAIL: $*" >&2
  if [ -n "$EV_PID" ] && [ -f "$EV_TMP/err" ]; then
    echo "--- simulator stderr (last lines):" >&2
    tail -n 20 "$EV_TMP/err" >&2
  fi
  exit 1
}

source "$TAVRIN_SOURCE_DIR/tests/support/xvfb.bash"

ev_start_x() {
  start_private_xvfb || ev_fail "no Xvfb could be started"
  EV_XVFB_PID=$XVFB_PID
}

# Two switches ('0' drives a, '1' drives b) with inverters and probes; the second inverter and
# its probe are one level deeper. EVENTS_CLOCK adds a free-running clock.
ev_build_circuit() {
  local exe="$TAVRIN_BINARY_DIR/events_circuit"
  local lib="$TAVRIN_BINARY_DIR/libtavrin_sim.a"
  [ -f "$lib" ] || ev_fail "missing $lib"
  if [ ! -x "$exe" ] || [ "$lib" -nt "$exe" ] || [ "${BASH_SOURCE[0]}" -nt "$exe" ]; then
    cat >"$EV_TMP/circuit.cpp" <<'EOF'
#include <cstdlib>
#include "tavrin.h"
void simnet() {
  Signal a(1, "a"), b(1, "b"), y(1, "y"), z(1, "z");
  Switch(SD("aa"), a, '0', Zero, "a");
  Switch(SD("ab"), b, '1', One, "b");
  Not(SD("ac"), a, y);
  Probe(SD("ad"), y, "y");
  SD lower("ba-bd");
  Not(SD(lower, "aa"), b, z);
  Probe(SD(lower, "ab"), z, "z");
  if (std::getenv("EVENTS_CLOCK") != nullptr) {
    Signal c(1, "c");
    Clock(SD("ca"), c, 5, 5, 10, Zero);
    Probe(SD("cb"), c, "c");
  }
}
EOF
    g++ -std=c++20 -O1 ${TAVRIN_CIRCUIT_FLAGS:-} -I"$TAVRIN_SOURCE_DIR/src-simulator" "$EV_TMP/circuit.cpp" \
      "$TAVRIN_SOURCE_DIR/src-simulator/startup/main.cpp" "$lib" -lX11 -o "$EV_TMP/circuit" ||
      ev_fail "circuit does not build"
    mv -f "$EV_TMP/circuit" "$exe"  # atomic, so parallel checks never run a half-written file
  fi
  EV_EXE=$exe
}

# Starts the circuit with the given options and waits until its window is mapped and drawn.
ev_run() {
  "$EV_EXE" "$@" >"$EV_TMP/out" 2>"$EV_TMP/err" &
  EV_PID=$!
  EV_WID=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tavrin v20200116' | head -n 1)
  [ -n "$EV_WID" ] || ev_fail "no window appeared"
  # Keys go to the window under the pointer; park it where the mouse does nothing.
  xdotool mousemove --window "$EV_WID" 1000 800
  [ -n "${EV_NO_SETTLE:-}" ] || ev_settle
}

# Ends the running simulator (F10) and checks its exit status.
ev_quit() {
  local i status
  ev_key F10
  for i in $(seq 1 50); do
    kill -0 "$EV_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$EV_PID" 2>/dev/null && ev_fail "F10 does not end the run"
  wait "$EV_PID"
  status=$?
  EV_PID=""
  [ "$status" -eq 0 ] || ev_fail "F10 ends with status $status"
}

# Waits until two screenshots 0.2 s apart agree.
ev_settle() {
  local i
  ev_shot "$EV_TMP/settle-a.png"
  for i in $(seq 1 50); do
    sleep 0.2
    ev_shot "$EV_TMP/settle-b.png"
    [ "$(ev_diff "$EV_TMP/settle-a.png" "$EV_TMP/settle-b.png")" = 0 ] && return 0
    mv -f "$EV_TMP/settle-b.png" "$EV_TMP/settle-a.png"
  done
  ev_fail "the window does not settle"
}

ev_shot() { xwd -silent -nobdrs -id "$EV_WID" | convert xwd:- "png:$1"; }

# Number of differing pixels of two screenshots, optionally inside geometry WxH+X+Y.
ev_diff() {
  if [ $# -ge 3 ]; then
    compare -metric AE "$1[$3]" "$2[$3]" null: 2>&1 | cut -d' ' -f1
  else
    compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1
  fi
}

# Number of pixels of exactly this colour (#RRGGBB), optionally inside geometry WxH+X+Y.
ev_count() {
  local file=$1 colour=$2 region=${3:-}
  [ -n "$region" ] && file="$file[$region]"
  convert "$file" -format %c histogram:info: |
    awk -v c="$colour" 'toupper($3) == toupper(c) { n += $1 } END { print n + 0 }'
}

# Bounding box "W H X Y" of the pixels of a colour.
ev_bbox() {
  convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format '%@' info: | sed 's/[x+]/ /g'
}

# Retries a command for up to five seconds.
ev_until() {
  local i
  for i in $(seq 1 50); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

ev_stderr_has() { grep -qF -- "$1" "$EV_TMP/err"; }

ev_key() { xdotool key --delay 30 "$@"; }

# Waits until the simulator has served every key sent before: the unbound key 2 writes a line.
ev_sync() {
  local before
  before=$(grep -c 'char=2,' "$EV_TMP/err")
  ev_key 2
  ev_until eval '[ "$(grep -c "char=2," "$EV_TMP/err")" -gt '"$before"' ]' || ev_fail "key 2 is not served"
  ev_settle
}

# CPU ticks (user + system) the simulator has used so far.
ev_cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$EV_PID/stat"; }
