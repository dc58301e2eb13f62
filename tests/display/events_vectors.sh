# Test vectors with a window: the checks run at their steps, the window stays open after the
# last one, and F10 ends the run with the summary and the exit status of the checks.
source "$(dirname "$0")/events_lib.bash"
ev_start_x
ev_build_circuit
printf '  a=0 y=1 z=0\n0 a=1 y=0\n0 y=z  # fails\n' >"$EV_TMP/t.vec"
ev_run -v "$EV_TMP/t.vec" -s "$EV_TMP/table"

ev_until grep -qF "$EV_TMP/t.vec:3: y expected z got 1" "$EV_TMP/out" || ev_fail "no failure line at the last step"
sleep 0.5
kill -0 "$EV_PID" 2>/dev/null || ev_fail "the window closes after the last step"
[ "$(wc -l <"$EV_TMP/table")" -eq 4 ] || ev_fail "the table has no row per step while the window is open"

ev_key F10
for i in $(seq 1 50); do
  kill -0 "$EV_PID" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$EV_PID" 2>/dev/null && ev_fail "F10 does not end the run"
wait "$EV_PID"
status=$?
EV_PID=""
[ "$status" -eq 1 ] || ev_fail "a failed expectation ends with status $status, not 1"
[ "$(tail -n 1 "$EV_TMP/out")" = "5 passed, 1 failed" ] || ev_fail "no summary at the end: $(tail -n 1 "$EV_TMP/out")"
echo "events_vectors: ok"
