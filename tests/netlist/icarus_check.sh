#!/bin/bash
# Each design in rtl/, synthesized to gates by Yosys, must behave in tavrin-net as Icarus Verilog
# simulates its RTL. The design's testbench (rtl/D_tb.v) prints one "VEC" line per step: the
# inputs it set (NAME:=VALUE) and the outputs once they have settled (NAME=0b...). Those lines
# become a vector file, with every output that Icarus shows as unknown (x in any bit) left out,
# and tavrin-net runs it on the synthesized netlist. Exit 77 (skipped) when tavrin-net, yosys or
# Icarus Verilog is not there.
set -u

here=$(cd "$(dirname "$0")" && pwd)
for tool in yosys iverilog vvp; do
  if ! command -v "$tool" > /dev/null; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done
. "$here/vectors.bash"

designs=(adder4 counter8 seqdet alu8 mult8 regfile)

# The testbench's VEC lines as a vector file. An output whose bits are all 0 or 1 is written in
# hexadecimal, one whose bits are all z as the letter z; one with an x bit is not expected.
to_vectors() {
  awk '
    function hex(bits,   n, v, i, out) {
      n = length(bits)
      while (n % 4) { bits = "0" bits; n++ }
      out = ""
      for (i = 1; i <= n; i += 4) {
        v = 8 * substr(bits, i, 1) + 4 * substr(bits, i + 1, 1) + 2 * substr(bits, i + 2, 1) + substr(bits, i + 3, 1)
        out = out substr("0123456789ABCDEF", v + 1, 1)
      }
      return "0x" out
    }
    $1 == "VEC" {
      line = ""; gap = ""; expecting = 0
      for (k = 2; k <= NF; k++) {
        word = $k
        if (word !~ /:=/ && match(word, /=0b/)) {
          name = substr(word, 1, RSTART - 1)
          bits = substr(word, RSTART + 3)
          if (bits ~ /[xX]/) continue
          if (bits ~ /^[zZ]+$/) word = name "=z"
          else if (bits ~ /^[01]+$/) word = name "=" hex(bits)
        }
        if (word !~ /:=/ && !expecting++ && gap != "") gap = "  "  # two blanks before the expectations
        line = line gap word
        gap = " "
      }
      print line
    }'
}

for design in "${designs[@]}"; do
  rtl=$here/rtl/$design.v
  if ! yosys -q -p "read_verilog $rtl; tribuf; synth -top $design; write_json $design.json" > "$design.yosys" 2>&1; then
    echo "$design: yosys failed:"
    cat "$design.yosys"
    FAILED=1
    continue
  fi
  if ! iverilog -g2005 -o "$design.sim" "$rtl" "$here/rtl/${design}_tb.v" > "$design.icarus" 2>&1 ||
     ! vvp -n "$design.sim" > "$design.trace" 2>> "$design.icarus"; then
    echo "$design: Icarus Verilog failed:"
    cat "$design.icarus"
    FAILED=1
    continue
  fi
  to_vectors < "$design.trace" > "$design.vec"
  run_vectors "$design" "$design.vec" "$design.json"
done
exit "$FAILED"
