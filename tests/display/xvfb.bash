# Shared by the window tests (display_*.sh, events_*.sh): a private X server, the test circuits
# that the build makes (display_circuit.cpp, events_circuit.cpp beside this file), the running
# program, screenshots and pixel counts. Sourced, not run; everything started here is stopped on exit.
# Needs TAVRIN_SOURCE_DIR and TAVRIN_BINARY_DIR. Every wait polls for its condition with a generous
# upper bound, so a loaded machine makes a test slower, not failed.

set -u

: "${TAVRIN_SOURCE_DIR:?}" "${TAVRIN_BINARY_DIR:?}"
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

# Runs a command until it succeeds, at most the given number of seconds apart from the command's own time.
poll_until() {  # seconds interval command...
  local end=$((SECONDS + $1)) interval=$2
  shift 2
  while :; do
    "$@" && return 0
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep "$interval"
  done
}

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

# The circuit of the display checks: rows a..c, columns a..d, every value with a probe of its own.
build_circuit() {
  CIRCUIT_EXE=${TAVRIN_DISPLAY_CIRCUIT:?TAVRIN_DISPLAY_CIRCUIT must name the display test circuit}
  [ -x "$CIRCUIT_EXE" ] || { echo "missing $CIRCUIT_EXE" >&2; exit 1; }
}

# Starts a program in the background (standard output and error into $WORK_DIR/app.out, app.err).
start_app() {
  "$@" >"$WORK_DIR/app.out" 2>"$WORK_DIR/app.err" &
  APP_PID=$!
}

# Waits for a top-level window with the given title; prints its id.
window_titled() {
  local id
  id=$(xwininfo -root -children 2>/dev/null | awk -v t="\"$1\":" 'index($0, " " t " ") { print $1; exit }')
  [ -n "$id" ] && echo "$id"
}
wait_window() { poll_until 60 0.05 window_titled "$1"; }

app_ended() { ! kill -0 "$APP_PID" 2>/dev/null; }

# Ends the running program: F10 first, then by its id.
stop_app() {
  local id=$1
  [ -n "$APP_PID" ] || return 0
  if [ -n "$id" ]; then
    xdotool key --window "$id" F10 2>/dev/null
    poll_until 30 0.05 app_ended
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

# Screenshots until the pixel shows the colour (the drawing has settled), at most about a minute.
shot_shows() { shoot "$1" "$2" && [ "$(pixel "$2" "$3" "$4")" = "$5" ]; }
shoot_until() {  # window-id file x y RRGGBB
  poll_until 60 0.2 shot_shows "$@"
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

# The events_*.sh checks: they stop at their first failure.
ev_fail() {
  echo "FAIL: $*" >&2
  if [ -n "$APP_PID" ] && [ -f "$WORK_DIR/err" ]; then
    echo "--- simulator stderr (last lines):" >&2
    tail -n 20 "$WORK_DIR/err" >&2
  fi
  exit 1
}

ev_start_x() { start_private_xvfb || ev_fail "no Xvfb could be started"; }

# Two switches ('0' drives a, '1' drives b) with inverters and probes; the second inverter and
# its probe are one level deeper. EVENTS_CLOCK adds a free-running clock.
ev_build_circuit() {
  EV_EXE=${TAVRIN_EVENTS_CIRCUIT:?TAVRIN_EVENTS_CIRCUIT must name the events test circuit}
  [ -x "$EV_EXE" ] || ev_fail "missing $EV_EXE"
}

# Starts the circuit with the given options and waits until its window is mapped and drawn.
ev_run() {
  "$EV_EXE" "$@" >"$WORK_DIR/out" 2>"$WORK_DIR/err" &
  APP_PID=$!
  EV_WID=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tavrin v20200116' | head -n 1)
  [ -n "$EV_WID" ] || ev_fail "no window appeared"
  # Keys go to the window under the pointer; park it where the mouse does nothing.
  xdotool mousemove --window "$EV_WID" 1000 800
  [ -n "${EV_NO_SETTLE:-}" ] || ev_settle
}

# Ends the running simulator (F10) and checks its exit status.
ev_quit() {
  local status
  ev_key F10
  poll_until 30 0.1 app_ended
  kill -0 "$APP_PID" 2>/dev/null && ev_fail "F10 does not end the run"
  wait "$APP_PID"
  status=$?
  APP_PID=""
  [ "$status" -eq 0 ] || ev_fail "F10 ends with status $status"
}

# Waits until two screenshots 0.2 s apart agree, at most about a minute.
shots_agree() {
  sleep 0.2
  ev_shot "$WORK_DIR/settle-b.png"
  [ "$(ev_diff "$WORK_DIR/settle-a.png" "$WORK_DIR/settle-b.png")" = 0 ] && return 0
  mv -f "$WORK_DIR/settle-b.png" "$WORK_DIR/settle-a.png"
  return 1
}
ev_settle() {
  ev_shot "$WORK_DIR/settle-a.png"
  poll_until 60 0 shots_agree || ev_fail "the window does not settle"
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

# Retries a command for up to half a minute.
ev_until() { poll_until 30 0.1 "$@"; }

ev_stderr_has() { grep -qF -- "$1" "$WORK_DIR/err"; }

ev_key() { xdotool key --delay 30 "$@"; }

# Waits until the simulator has served every key sent before: the unbound key 2 writes a line.
ev_sync() {
  local before
  before=$(grep -c 'char=2,' "$WORK_DIR/err")
  ev_key 2
  ev_until eval '[ "$(grep -c "char=2," "$WORK_DIR/err")" -gt '"$before"' ]' || ev_fail "key 2 is not served"
  ev_settle
}

# CPU ticks (user + system) the simulator has used so far.
ev_cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$APP_PID/stat"; }
