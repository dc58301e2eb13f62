#!/bin/bash
# The window under a real X server: title, icon name, geometry, colours, and running without X.
. "$(dirname "$0")/xvfb.bash"

start_xvfb
build_circuit
title="Tavrin v20200116"

geometry_of() { xwininfo -id "$1" | awk '/-geometry/ { print $2 }'; }
property_of() { xprop -id "$1" "$2" | sed 's/^[^=]*= //'; }

# Defaults: the title, the icon name and 1025x825+100+25 with a border of 5.
start_app "$CIRCUIT_EXE"
id=$(window_or_end "$title" "no window with the default title") || exit 1
check_eq "default title" "\"$title\"" "$(property_of "$id" WM_NAME)"
check_eq "default icon name" "\"$title\"" "$(property_of "$id" WM_ICON_NAME)"
check_eq "default geometry" "1025x825+100+25" "$(geometry_of "$id")"
check_eq "border width" "5" "$(xwininfo -id "$id" | awk '/Border width/ { print $3 }')"
shoot_until "$id" "$WORK_DIR/default.png" 384 412 008000
check_eq "white background by default" "FFFFFF" "$(pixel "$WORK_DIR/default.png" 3 3)"
# The dashed sub-window frame: red, along the top of the middle quarter (row 309, columns 384..640).
red=$(count_colour "$WORK_DIR/default.png" 256 1 384 309 FF0000)
[ "$red" -gt 60 ] || fail "sub-window frame: only $red red pixels on its top edge"
stop_app "$id"

# -W appends to the title only; -g sets size and place; zero colour triples are the defaults.
start_app "$CIRCUIT_EXE" -W abc -g 1000x900+100+50 -c 0 0 0 -C 0 0 0 -S 0 0 0
id=$(window_or_end "${title}abc" "no window titled with -W") || exit 1
check_eq "icon name without the -W label" "\"$title\"" "$(property_of "$id" WM_ICON_NAME)"
check_eq "-g geometry" "1000x900+100+50" "$(geometry_of "$id")"
shoot_until "$id" "$WORK_DIR/zero.png" 375 450 008000
check_eq "-c 0 0 0 keeps white" "FFFFFF" "$(pixel "$WORK_DIR/zero.png" 3 3)"
# Switch b is ONE: a solid box in the foreground colour at the centre of cell ab.
check_eq "-C 0 0 0 keeps black" "000000" "$(pixel "$WORK_DIR/zero.png" 375 150)"
stop_app "$id"

# Chosen colours: background, foreground (switch b's solid box) and the frame.
start_app "$CIRCUIT_EXE" -c 200 200 200 -C 0 0 255 -S 0 255 0
id=$(window_or_end "$title" "no window with chosen colours") || exit 1
shoot_until "$id" "$WORK_DIR/colours.png" 384 412 008000
check_eq "-c background" "C8C8C8" "$(pixel "$WORK_DIR/colours.png" 3 3)"
check_eq "-C foreground" "0000FF" "$(pixel "$WORK_DIR/colours.png" 384 137)"
green=$(count_colour "$WORK_DIR/colours.png" 256 1 384 309 00FF00)
[ "$green" -gt 60 ] || fail "-S frame colour: only $green green pixels on its top edge"
stop_app "$id"

# -X touches no display at all, not even a missing one; probes print instead.
DISPLAY=:999 timeout 60 "$CIRCUIT_EXE" -X -T 100 >"$WORK_DIR/x.out" 2>"$WORK_DIR/x.err"
check_eq "-X exit status" "0" "$?"
grep -q "Unable to open X Window" "$WORK_DIR/x.err" && fail "-X tried to open a display"
grep -q "^Time = 0  Probe for pb at bb  Value = " "$WORK_DIR/x.err" || fail "-X printed no probe lines"

# Without a reachable display the run goes on without a window.
DISPLAY=:999 timeout 60 "$CIRCUIT_EXE" -T 100 >"$WORK_DIR/n.out" 2>"$WORK_DIR/n.err"
check_eq "no display exit status" "0" "$?"
check_eq "no display message" "1" "$(grep -c '^Unable to open X Window$' "$WORK_DIR/n.err")"
grep -q "Probe for" "$WORK_DIR/n.err" && fail "probes printed although the display was wanted"

# A window without area cannot be made: the run goes on without one instead of waiting for ever.
timeout 60 "$CIRCUIT_EXE" -g 0x300 -T 100 >"$WORK_DIR/g.out" 2>"$WORK_DIR/g.err"
check_eq "-g 0x300 exit status" "0" "$?"
check_eq "-g 0x300 message" "1" "$(grep -c '^Unable to open X Window of size 0x300$' "$WORK_DIR/g.err")"

finish
