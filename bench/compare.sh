#!/bin/bash
# Two builds measured interleaved on one machine: each run of build A is followed by the same run
# of build B, ROUNDS times over, and each run's median figure and the ratio B/A are printed.
#
#   bench/compare.sh [--rounds N] BUILD_A BUILD_B
#
# BUILD_A and BUILD_B are build directories (each with tavrin and bench/tavrin-bench), for
# example a release build of the previous main and one of the working tree. The runs:
#   kernel     tavrin-bench 20000: the processor, no probes (cycles/s)
#   probes     tavrin-bench --probes 5000: with its 425 probes, lines to /dev/null (cycles/s)
#   scripted   tavrin -X -k 0,1*20000, probe lines to /dev/null, start-up included (cycles/s)
#   scale1, scale100, scale1000
#              tavrin-bench --scale N: ns per component per cycle (lower is better)
# Prints one key=value line per run: the two medians and the ratio of B to A, where a ratio
# above 1 always means B is faster.
set -euo pipefail

rounds=5
if [ "${1:-}" = "--rounds" ]; then
  rounds=$2
  shift 2
fi
if [ $# -ne 2 ]; then
  echo "usage: $0 [--rounds N] BUILD_A BUILD_B" >&2
  exit 2
fi
a=$1
b=$2
for build in "$a" "$b"; do
  for exe in "$build/tavrin" "$build/bench/tavrin-bench"; do
    [ -x "$exe" ] || { echo "$0: $exe is not an executable" >&2; exit 2; }
  done
done

# The value of key in a tavrin-bench line.
field() { tr ' ' '\n' | sed -n "s/^$1=//p" | head -n 1; }

# Cycles per second of a scripted headless run: 10,000 cycles, the start-up included.
scripted() {
  local start end
  start=$(date +%s.%N)
  "$1/tavrin" -X -k "0,1*20000" > /dev/null 2>&1
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { print 10000 / (e - s) }'
}

measure() {  # build run
  case $2 in
    kernel) "$1/bench/tavrin-bench" 20000 | field cycles_per_s ;;
    probes) "$1/bench/tavrin-bench" --probes 5000 | field cycles_per_s ;;
    scripted) scripted "$1" ;;
    scale*) "$1/bench/tavrin-bench" --scale "${2#scale}" $((20000 / ${2#scale} + 20)) | field ns_per_component_cycle ;;
  esac
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for run in kernel probes scripted scale1 scale100 scale1000; do
  : > "$work/a"
  : > "$work/b"
  for ((round = 0; round < rounds; ++round)); do
    measure "$a" "$run" >> "$work/a"
    measure "$b" "$run" >> "$work/b"
  done
  ma=$(median < "$work/a")
  mb=$(median < "$work/b")
  case $run in
    scale*) ratio=$(awk -v x="$ma" -v y="$mb" 'BEGIN { print x / y }') ;;  # a cost: A's over B's
    *) ratio=$(awk -v x="$mb" -v y="$ma" 'BEGIN { print x / y }') ;;
  esac
  printf 'run=%s rounds=%d a=%.2f b=%.2f ratio=%.3f\n' "$run" "$rounds" "$ma" "$mb" "$ratio"
done
