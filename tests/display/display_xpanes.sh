#!/bin/bash
# Live panes under a real X server: value colours, a key press, and what each level of detail shows.
. "$(dirname "$0")/xvfb.bash"

start_xvfb
build_circuit
title="Tavrin v20200116"

# Cells are 256.25 x 275 pixels (rows a..c, columns a..d); panes sit at their centres.
# A grey background tells white (UNINITIALIZED) panes from the window. -F 2: no interconnecting lines.
start_app "$CIRCUIT_EXE" -c 200 200 200 -F 2
id=$(window_or_end "$title" "no window") || exit 1
shoot_until "$id" "$WORK_DIR/level1.png" 640 412 FF8C00
shot="$WORK_DIR/level1.png"
check_eq "switch at ZERO: empty box" "C8C8C8" "$(pixel "$shot" 128 137)"
check_eq "switch at ONE: solid box" "000000" "$(pixel "$shot" 384 137)"
check_eq "probe at ZERO" "F0FFF0" "$(pixel "$shot" 128 412)"
check_eq "probe at ONE" "008000" "$(pixel "$shot" 384 412)"
check_eq "probe at XXX" "FF8C00" "$(pixel "$shot" 640 412)"
check_eq "probe at HIZ" "FFEBCD" "$(pixel "$shot" 897 412)"
check_eq "probe at UNINITIALIZED" "FFFFFF" "$(pixel "$shot" 384 687)"
check_eq "pane outline" "000000" "$(pixel "$shot" 384 378)"
# Level 1: the module box is drawn (its top edge, row 618), its inner probes are not.
edge=$(count_colour "$shot" 26 14 128 612 000000)
[ "$edge" -gt 10 ] || fail "module box missing at level 1 ($edge dark pixels)"
check_eq "inner probe hidden at level 1" "0" "$(count_colour "$shot" 20 20 54 677 008000)"

# Pressing 'a' turns switch a and its probe to ONE.
xdotool key --window "$id" a 2>/dev/null  # sent to the window: no focus needed
# On a loaded machine xdotool has lost a sent key: after 20 s without the change it is sent again.
if ! poll_until 20 0.2 shot_shows "$id" "$WORK_DIR/pressed.png" 128 412 008000; then
  xdotool key --window "$id" a 2>/dev/null
  shoot_until "$id" "$WORK_DIR/pressed.png" 128 412 008000
fi
check_eq "switch after its key" "000000" "$(pixel "$WORK_DIR/pressed.png" 128 137)"
check_eq "probe after the key" "008000" "$(pixel "$WORK_DIR/pressed.png" 128 412)"
stop_app "$id"

# Level 2 (-F D): the inner probes show, the module box is gone.
start_app "$CIRCUIT_EXE" -c 200 200 200 -F 2D
id=$(window_or_end "$title" "no window at level 2") || exit 1
shoot_until "$id" "$WORK_DIR/level2.png" 192 687 F0FFF0
shot="$WORK_DIR/level2.png"
check_eq "module box gone at level 2" "0" "$(count_colour "$shot" 26 14 128 612 000000)"
check_eq "inner probe of b at level 2" "400" "$(count_colour "$shot" 20 20 54 677 008000)"
check_eq "inner probe of a at level 2" "F0FFF0" "$(pixel "$shot" 192 687)"
check_eq "level-1 probe still drawn" "008000" "$(pixel "$shot" 384 412)"
stop_app "$id"

finish
