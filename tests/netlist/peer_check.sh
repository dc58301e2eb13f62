#!/bin/bash
# bench/peer.sh --check on two small designs, for correctness only (never timed): the processor
# datapath of bench/peer/designs and peer/storage.v, every kind of flip-flop and latch and a
# tri-state bus. tavrin-peer's Verilog of each, run by Icarus Verilog, must give every settled
# output that tavrin-net gives for the JSON netlist, and nearly every output must be checked (an
# output Icarus shows with an x is not, so a writer making x where tavrin-net has a level would
# pass unseen otherwise). Exit 77 (skipped) when yosys, Icarus Verilog or the executables are not
# there.
set -u

here=$(cd "$(dirname "$0")" && pwd)
for tool in yosys iverilog vvp; do
  if ! command -v "$tool" > /dev/null; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done
build=${TAVRIN_BINARY_DIR:-}
for exe in "$build/tools/net/tavrin-net" "$build/bench/tavrin-peer"; do
  if [ ! -x "$exe" ]; then
    echo "skipped: $exe is not built"
    exit 77
  fi
done

output=$(bash "$here/../../bench/peer.sh" --check --vectors 60 --build "$build" cpu16 "$here/peer/storage.v")
status=$?
echo "$output"
[ "$status" -eq 0 ] || exit 1
# "storage      49       60     400 equal (116 of 120 outputs checked)": at least 90 % each.
echo "$output" | awk '
  / equal \(/ { designs++; if (substr($(NF - 4), 2) * 10 < $(NF - 2) * 9) { print $1 ": too few outputs checked"; bad = 1 } }
  END { exit bad || designs != 2 }'
