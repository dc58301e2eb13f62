#!/bin/bash
# Two builds measured interleaved on one machine: each run of build A is followed by the same run
# of build B, ROUNDS times over, and each run's median figure and the ratio B/A are printed.
#
#   bench/compare.sh [--rounds N] [--runs RUN,RUN...] BUILD_A BUILD_B
#
# BUILD_A and BUILD_B are build directories (each with tavrin and bench/tavrin-bench), for
# example a release build of the previous main and one of the working tree. The runs:
#   kernel     tavrin-bench 20000: the processor, no probes (cycles/s)
#   probes     tavrin-bench --probes 5000: with its 425 probes, lines to /dev/null (cycles/s)
#   scripted   tavrin -X -k 0,1*20000, probe lines to /dev/null, start-up included (cycles/s)
#   window     tavrin -T 1200000 -k 0,1*10000 in its window on a private Xvfb, every pane live,
#              start-up included (cycles/s; bench/timed-run.sh starts and stops the server)
#   multiplier tavrin-bench --multiplier 1000: the 16x16 gate-level array multiplier fed by timed
#              key steps, probe lines to /dev/null (microseconds per vector, lower is better)
#   scale1, scale100, scale1000
#              tavrin-bench --scale N: ns per component per cycle (lower is better)
# --runs picks some of them, in the order given (all by default, in the order above).
# Prints one key=value line per run: the two medians and the ratio of B to A, where a ratio
# above 1 always means B is faster.
set -euo pipefail

all_runs="kernel probes scripted window multiplier scale1 scale100 scale1000"
usage() {
  echo "usage: $0 [--rounds N] [--runs RUN,RUN...] BUILD_A BUILD_B" >&2
  echo "runs: ${all_runs// /,}" >&2
  exit 2
}
rounds=5
runs=$all_runs
while [ $# -gt 2 ]; do
  case $1 in
    --rounds) [[ "$2" =~ ^[1-9][0-9]*$ ]] || usage; rounds=$2 ;;
    --runs) runs=${2//,/ }; [ -n "${runs// /}" ] || usage ;;
    *) usage ;;
  esac
  shift 2
done
[ $# -eq 2 ] || usage
for run in $runs; do
  [[ " $all_runs " == *" $run "* ]] || { echo "$0: unknown run '$run'" >&2; usage; }
done
a=$1
b=$2
for build in "$a" "$b"; do
  for exe in "$build/tavrin" "$build/bench/tavrin-bench"; do
    [ -x "$exe" ] || { echo "$0: $exe is not an executable" >&2; exit 2; }
  done
done

# The multiplier came after the other runs: a build whose tavrin-bench does not have it skips it.
if [[ " $runs " == *" multiplier "* ]]; then
  for build in "$a" "$b"; do
    if ! "$build/bench/tavrin-bench" --multiplier 1 > /dev/null 2>&1; then
      echo "$0: $build/bench/tavrin-bench has no --multiplier; the multiplier run is skipped" >&2
      runs=$(echo " $runs " | sed 's/ multiplier / /')
    fi
  done
fi

# The value of key in a tavrin-bench line.
field() { tr ' ' '\n' | sed -n "s/^$1=//p" | head -n 1; }

timed_run="$(dirname "$0")/timed-run.sh"

measure() {  # build run
  case $2 in
    kernel) "$1/bench/tavrin-bench" 20000 | field cycles_per_s ;;
    probes) "$1/bench/tavrin-bench" --probes 5000 | field cycles_per_s ;;
    scripted | window) "$timed_run" "$2" "$1" | field cycles_per_s ;;
    multiplier) "$1/bench/tavrin-bench" --multiplier 1000 | field us_per_vector ;;
    scale*) "$1/bench/tavrin-bench" --scale "${2#scale}" $((20000 / ${2#scale} + 20)) | field ns_per_component_cycle ;;
  esac
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for run in $runs; do
  : > "$work/a"
  : > "$work/b"
  for ((round = 0; round < rounds; ++round)); do
    measure "$a" "$run" >> "$work/a"
    measure "$b" "$run" >> "$work/b"
  done
  ma=$(median < "$work/a")
  mb=$(median < "$work/b")
  case $run in
    scale* | multiplier) ratio=$(awk -v x="$ma" -v y="$mb" 'BEGIN { print x / y }') ;;  # a cost: A's over B's
    *) ratio=$(awk -v x="$mb" -v y="$ma" 'BEGIN { print x / y }') ;;
  esac
  printf 'run=%s rounds=%d a=%.2f b=%.2f ratio=%.3f\n' "$run" "$rounds" "$ma" "$mb" "$ratio"
done
