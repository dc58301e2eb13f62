#!/bin/bash
# Each circuit in bench/ must behave in tavrin-net as an evaluator of its own, written here apart
# from tavrin-net, computes it. The evaluator reads the .bench text (INPUT, OUTPUT and gates
# NAME = KIND(a, b, ...) of AND NAND OR NOR XOR XNOR NOT BUFF DFF, in any order) and writes the
# vector file: a combinational circuit through every input combination, a sequential one through
# 200 clock cycles of random inputs (fixed seed; an input named rst is 1 in the first cycle and
# rare after it), each edge of CLK a line of its own, the inputs changed with the falling edge.
# Flip-flops start unknown (x); an output that is still unknown is not expected.
set -u

here=$(cd "$(dirname "$0")" && pwd)
. "$here/vectors.bash"

# evaluate circuit.bench > circuit.vec
evaluate() {
  awk -v cycles=200 '
    function fail(why) { print FILENAME ":" NR ": " why > "/dev/stderr"; bad = 1; exit 2 }
    function value(s,   kind, n, i, v, ones, unknown) {
      if (s in val) return val[s]
      if (!(s in gate)) { print FILENAME ": undefined signal " s > "/dev/stderr"; bad = 1; exit 2 }
      if (s in visiting) { print FILENAME ": combinational loop through " s > "/dev/stderr"; bad = 1; exit 2 }
      visiting[s] = 1
      kind = gate[s]; n = arity[s]; ones = 0; unknown = 0
      for (i = 1; i <= n; i++) {
        v = value(arg[s, i])
        if (v == "1") ones++
        else if (v == "x") unknown++
      }
      delete visiting[s]
      if (kind == "AND" || kind == "NAND")
        v = ones == n ? "1" : (ones + unknown == n ? "x" : "0")
      else if (kind == "OR" || kind == "NOR")
        v = ones > 0 ? "1" : (unknown > 0 ? "x" : "0")
      else if (kind == "XOR" || kind == "XNOR")
        v = unknown > 0 ? "x" : (ones % 2 ? "1" : "0")
      else  # BUFF and NOT
        v = unknown > 0 ? "x" : (ones ? "1" : "0")
      if (kind ~ /^(NAND|NOR|XNOR|NOT)$/ && v != "x") v = v == "1" ? "0" : "1"
      return val[s] = v
    }
    # The level of every signal for the inputs in level[] and the flip-flops in state[].
    function settle(   i) {
      delete val
      for (i = 1; i <= ninputs; i++) val[input[i]] = level[input[i]]
      for (i = 1; i <= nflops; i++) val[flop[i]] = state[flop[i]]
    }
    function expectations(   i, v, text) {
      settle()
      text = ""
      for (i = 1; i <= noutputs; i++) {
        v = value(output[i])
        if (v != "x") text = text " " output[i] "=" v
      }
      return text
    }
    function settings(   i, text) {
      text = ""
      for (i = 1; i <= ninputs; i++) text = text (i > 1 ? " " : "") input[i] ":=" level[input[i]]
      return text
    }
    {
      sub(/#.*/, ""); gsub(/[ \t\r]/, "")
      if ($0 == "") next
      if (match($0, /^(INPUT|OUTPUT)\(.+\)$/)) {
        s = substr($0, index($0, "(") + 1); s = substr(s, 1, length(s) - 1)
        if ($0 ~ /^INPUT/) input[++ninputs] = s
        else output[++noutputs] = s
        next
      }
      eq = index($0, "=")
      if (!eq || !match($0, /\(.*\)$/)) fail("not INPUT(x), OUTPUT(x) or x = KIND(...)")
      s = substr($0, 1, eq - 1)
      kind = toupper(substr($0, eq + 1, RSTART - eq - 1))
      if (kind == "BUF") kind = "BUFF"
      if (kind !~ /^(AND|NAND|OR|NOR|XOR|XNOR|NOT|BUFF|DFF)$/) fail("unknown gate kind " kind)
      if (s in gate) fail(s " is defined twice")
      gate[s] = kind
      arity[s] = split(substr($0, RSTART + 1, RLENGTH - 2), args, ",")
      for (i = 1; i <= arity[s]; i++) arg[s, i] = args[i]
      if (kind == "DFF") { flop[++nflops] = s; state[s] = "x" }
    }
    END {
      if (bad) exit 2
      if (nflops == 0) {
        for (step = 0; step < 2 ^ ninputs; step++) {
          for (i = 1; i <= ninputs; i++) level[input[i]] = int(step / 2 ^ (ninputs - i)) % 2
          print settings() " " expectations()
        }
        exit 0
      }
      srand(1011)
      for (cycle = 0; cycle < cycles; cycle++) {
        for (i = 1; i <= ninputs; i++)
          level[input[i]] = input[i] == "rst" ? (cycle == 0 || rand() < 0.05) : (rand() < 0.5)
        print "CLK:=0 " settings() " " expectations()
        settle()
        for (i = 1; i <= nflops; i++) next_state[flop[i]] = value(arg[flop[i], 1])
        for (i = 1; i <= nflops; i++) state[flop[i]] = next_state[flop[i]]
        print "CLK:=1 " expectations()
      }
    }' "$1"
}

for circuit in "$here"/bench/*.bench; do
  name=$(basename "$circuit" .bench)
  if ! evaluate "$circuit" > "$name.vec"; then
    echo "$name: the evaluator cannot read $circuit"
    FAILED=1
    continue
  fi
  run_vectors "$name" "$name.vec" "$circuit"
done
exit "$FAILED"
