# An idle or halted window sleeps; Down halts the run and resumes it.
source "$(dirname "$0")/xvfb.bash"
ev_start_x
ev_build_circuit

# Takes at most 3% of a CPU over three seconds.
sleeps() {
  local before after
  before=$(ev_cpu_ticks)
  sleep 3
  after=$(ev_cpu_ticks)
  [ $((after - before)) -le 9 ] || ev_fail "$1: $((after - before)) ticks of CPU in 3 s"
}

# Nothing queued: the run waits for the window.
ev_run
ev_sync
sleeps "idle window"
s=$WORK_DIR/s.png
y_is() {
  ev_shot "$s"
  [ "$(ev_count "$s" "$1" 256x412+769+0)" -gt 100 ]
}
ev_key 0
ev_until y_is '#F0FFF0' || ev_fail "an idle run does not serve key 0"
ev_quit

# A free-running clock with the time shown: the text changes until Down halts the run. One
# level of slow motion keeps the drawing from swamping a busy machine.
TEXT=400x24+20+6
EVENTS_CLOCK=1 EV_NO_SETTLE=1 ev_run -F 6 -K 0
text_moves() {
  ev_shot "$WORK_DIR/t1.png"
  sleep 0.3
  ev_shot "$WORK_DIR/t2.png"
  [ "$(ev_diff "$WORK_DIR/t1.png" "$WORK_DIR/t2.png" "$TEXT")" != 0 ]
}
[ "$(ev_count "$(ev_shot "$s"; echo "$s")" '#000000' "$TEXT")" -gt 20 ] || ev_fail "F6 shows no time"
text_moves || ev_fail "time does not advance"
ev_key Down
ev_sync
text_moves && ev_fail "time advances while halted"
sleeps "halted run"
ev_key Down
ev_until text_moves || ev_fail "Down again does not resume"
ev_quit
echo "events_idle: ok"
