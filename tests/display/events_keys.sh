# Keyboard in the real window: circuit keys, unbound and control keys, detail level, restart, exit.
source "$(dirname "$0")/xvfb.bash"
ev_start_x
ev_build_circuit
ev_run

# Probe y (the inverse of switch a) sits in the last of four columns of the first of two rows.
TILE_Y=256x412+769+0
ROW_B=1025x410+0+414

s=$WORK_DIR/s.png
y_is() {
  ev_shot "$s"
  [ "$(ev_count "$s" "$1" "$TILE_Y")" -gt 100 ]
}
ONE='#008000'
ZERO='#F0FFF0'

y_is "$ONE" || ev_fail "probe y does not start at one"
ev_key 0
ev_until y_is "$ZERO" || ev_fail "key 0 does not switch a to one"
ev_key 0
ev_until y_is "$ONE" || ev_fail "key 0 again does not switch a back"

ev_key 2
ev_until ev_stderr_has "Keyboard input:  Character (char=2,int=50) with no corresponding component activation defined." ||
  ev_fail "no message for an unbound key"
ev_key Escape Tab
ev_until ev_stderr_has "Keyboard input:  Control character (int=9) unmapped." ||
  ev_fail "no message for Tab"
ev_stderr_has "Keyboard input:  Control character (int=27) unmapped." || ev_fail "no message for Escape"

# The second row holds only level-2 components: empty until Return raises the level. The
# reference is a repaint: a pane drawn over an older one can keep a line of its outline.
ev_key ctrl+l
ev_sync
ev_shot "$WORK_DIR/level1.png"
[ "$(ev_count "$WORK_DIR/level1.png" "#000000" "$ROW_B")" -eq 0 ] || ev_fail "level-2 parts drawn at level 1"
ev_key Return
row_b_drawn() {
  ev_shot "$s"
  [ "$(ev_count "$s" "#000000" "$ROW_B")" -gt 100 ]
}
ev_until row_b_drawn || ev_fail "Return does not raise the detail level"
ev_key ctrl+a
ev_until eval '[ "$(ev_shot "$s"; ev_diff "$s" "$WORK_DIR/level1.png")" = 0 ]' ||
  ev_fail "Control-A does not return to level 1"

# F1: back to time zero, the switch at its initial level.
ev_key 0
ev_until y_is "$ZERO" || ev_fail "key 0 does not switch a to one"
ev_key F1
ev_until y_is "$ONE" || ev_fail "F1 does not restart the switch"

ev_quit
echo "events_keys: ok"
