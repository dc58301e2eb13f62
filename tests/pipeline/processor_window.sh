#!/bin/bash
# The processor in a real window under Xvfb: 0, then 1 eight times, and the write-back
# instruction register shows the first instruction 0x0A3E; one more 1 writes Reg1 = 0x003E.
set -u
: "${TAVRIN_EXE:?}" "${TAVRIN_BINARY_DIR:?}" "${TAVRIN_SOURCE_DIR:?}"
for tool in Xvfb xdotool xwd xwininfo convert xdpyinfo; do
  command -v "$tool" > /dev/null || { echo "missing $tool"; exit 1; }
done

work=$(mktemp -d)
xvfb_pid="" sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2> /dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Where the panes are: the tiling of the schematic, computed by the layout test.
TAVRIN_PANE_CENTRES="$work/panes" "$TAVRIN_BINARY_DIR/tests/test_pipeline" \
  --gtest_filter='ProcessorLayout.*' > "$work/layout.log" || { cat "$work/layout.log"; exit 1; }

source "$TAVRIN_SOURCE_DIR/tests/support/xvfb.bash"
start_private_xvfb || { echo "no Xvfb display"; exit 1; }
xvfb_pid=$XVFB_PID

"$TAVRIN_EXE" > "$work/out.log" 2> "$work/err.log" &
sim_pid=$!
window=$(timeout 20 xdotool search --sync --name "Tavrin v20200116" | head -1)
[ -n "$window" ] || { echo "no window"; cat "$work/err.log"; exit 1; }
xdotool windowfocus --sync "$window"

# xwd includes the window border; the pane centres are relative to the window's inside.
border=$(xwininfo -id "$window" | sed -n 's/^ *Border width: *//p')

press() {
  xdotool key --delay 100 "$1"
  sleep 0.5
}

# The panes of one register, bit 15 first, read as a number (-1 when a pane is not 0 or 1).
panes() {
  xwd -silent -id "$window" | convert xwd:- -shave "${border}x${border}" +repage "$work/shot.png"
  local value=0 name bit x y colour
  while read -r name bit x y; do
    [ "$name" = "$1" ] || continue
    colour=$(convert "$work/shot.png" -format "%[hex:p{$x,$y}]" info:)
    case "${colour:0:6}" in
      008000) value=$((value | 1 << bit)) ;;
      F0FFF0) ;;
      *) echo "pane $name[$bit] at $x,$y has colour $colour" >&2; echo -1; return ;;
    esac
  done < "$work/panes"
  echo "$value"
}

# Reads the register's panes until they show the value, at most a minute; prints the last reading.
panes_become() {  # register value
  local end=$((SECONDS + 60)) value
  while :; do
    value=$(panes "$1")
    [ "$value" = "$2" ] || [ "$SECONDS" -ge "$end" ] && break
    sleep 0.2
  done
  echo "$value"
}

status=0
# The window is drawn once Reg1's panes read 0.
panes_become Reg1 0 > /dev/null
press 0
for _ in 1 2 3 4 5 6 7 8; do press 1; done
ir=$(panes_become IR_WB $((0x0A3E)))
reg=$(panes Reg1)
[ "$ir" = $((0x0A3E)) ] || { echo "IR_WB shows $ir after eight presses"; status=1; }
[ "$reg" = 0 ] || { echo "Reg1 shows $reg before the write"; status=1; }
press 1
reg=$(panes_become Reg1 $((0x003E)))
[ "$reg" = $((0x003E)) ] || { echo "Reg1 shows $reg after the ninth press"; status=1; }
kill -0 "$sim_pid" 2> /dev/null || { echo "the simulator ended"; status=1; }
exit $status
