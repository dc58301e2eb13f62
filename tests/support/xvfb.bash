# A private X server for the window tests and the screenshot script. Sourced, not run.

# A build without the window (TAVRIN_X11=0 in the test environment) has nothing to test here:
# the test is skipped.
if [ "${TAVRIN_X11:-1}" = 0 ]; then exit 77; fi

# Starts Xvfb on a free display between 100 and 199, exports DISPLAY and sets XVFB_PID;
# returns 1 when no server could be started.
start_private_xvfb() {
  local n attempt i
  XVFB_PID=""
  for attempt in $(seq 1 30); do
    n=$((100 + RANDOM % 100))
    { [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; } && continue
    # -noreset: a server that resets when its last client leaves refuses the next one meanwhile.
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    # Up to 30 s: a loaded machine starts the server slowly.
    for i in $(seq 1 600); do
      kill -0 "$XVFB_PID" 2>/dev/null || break
      # Ready, and ours: another server may have taken the number in the meantime.
      if [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$n-lock")" = "$XVFB_PID" ] &&
         xdpyinfo -display ":$n" >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      sleep 0.05
    done
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  done
  return 1
}
