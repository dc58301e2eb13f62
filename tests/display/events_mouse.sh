# Mouse in the real window: zoom and reset in both modes, dragging and resizing the sub-window.
source "$(dirname "$0")/xvfb.bash"
ev_start_x
ev_build_circuit
ev_run

RED='#FF0000'
BLACK='#000000'
s=$WORK_DIR/s.png
base=$WORK_DIR/base.png
mouse() { xdotool mousemove --window "$EV_WID" "$@"; }
shot() { ev_sync && ev_shot "$s"; }
near() { [ $(($1 - $2)) -le 6 ] && [ $(($2 - $1)) -le 6 ]; }
# The sub-window frame (red on white) must have this bounding box, give or take 6 pixels (dashes).
frame_is() {
  read -r w h x y < <(ev_bbox "$s" "$RED")
  near "$w" "$1" && near "$h" "$2" && near "$x" "$3" && near "$y" "$4" ||
    ev_fail "$5: frame ${w}x$h+$x+$y, expected $1x$2+$3+$4"
}
same_as_base() { [ "$(ev_diff "$s" "$base")" = 0 ] || ev_fail "$1"; }

ev_key ctrl+l
shot
cp "$s" "$base"
frame_is 257 207 384 309 "initial frame"
black0=$(ev_count "$base" "$BLACK")

# Windowing mode off: button 1 and button 3 span the zoom, button 2 returns to the whole view.
ev_key F9
mouse 0 0 click 1
mouse 512 412 click 3
shot
# The top-left quarter, twice as large: the frame's corner moves out to twice its offset.
frame_is 257 207 768 618 "zoomed by buttons 1 and 3"
[ "$(ev_count "$s" "$BLACK")" -gt $((2 * black0)) ] || ev_fail "buttons 1 and 3 do not enlarge"
mouse 700 700 click 2
shot
same_as_base "button 2 does not return to the whole view"
ev_key F9

# Windowing mode: button 2 zooms to the sub-window, button 3 returns with the frame centred.
mouse 700 700 click 2
shot
frame_is 1025 825 0 0 "zoomed into the sub-window"
[ "$(ev_diff "$s" "$base")" -gt 1000 ] || ev_fail "button 2 does not zoom"
mouse 700 700 click 3
shot
frame_is 257 207 384 309 "back to the whole view"
ev_key ctrl+l ctrl+l  # the first one also joins the leads of the zoomed drawing
shot
same_as_base "button 3 does not return to the whole view"

# Dragging the interior moves the frame; dragging a corner resizes it; a drag that starts
# outside changes nothing.
mouse 512 412 mousedown 1 mousemove --window "$EV_WID" 562 437 mousemove --window "$EV_WID" 612 462 mouseup 1
shot
frame_is 257 207 484 359 "moved frame"
mouse 739 564 mousedown 1 mousemove --window "$EV_WID" 799 604 mouseup 1
shot
frame_is 317 247 484 359 "resized frame"
mouse 50 700 mousedown 1 mousemove --window "$EV_WID" 150 750 mouseup 1
shot
frame_is 317 247 484 359 "drag from outside"
echo "events_mouse: ok"
