#!/bin/bash
# Tavrin against Icarus Verilog on the same gate-level netlists: the designs of bench/peer/designs/
# synthesized by Yosys, each run on the same pseudo-random input vectors in tavrin-net and, written
# out as structural Verilog by tavrin-peer, in Icarus Verilog. Every settled output of every vector
# must be equal; the time per vector of each simulator is measured.
#
#   bench/peer.sh [--vectors N] [--period P] [--rounds R] [--build DIR] [--check | --settle | --cachegrind]
#                 [DESIGN...]
#
# A DESIGN is the name of one in bench/peer/designs or the path of a .v file whose top module is
# named like the file. For each design (all by default): yosys "read_verilog D.v; tribuf;
# synth -top D; write_json"; tavrin-peer writes N vectors (1000 by default), the structural Verilog and a testbench applying vector k at time
# k*P and printing the outputs at (k+1)*P-1; Icarus (iverilog, then vvp) runs them; its outputs
# become the expectations of a tavrin-net vector file (an "@TIME" line, then the vector's settings
# and the outputs Icarus shows without an x; a design with a reset is checked from the vector the
# reset is released), which tavrin-net -X -Q -v runs on the JSON netlist. A difference, a vector
# after which either simulator has not settled when the next one comes (tavrin-net's table of
# settle points, -s; the testbench's "# settled"), or any error makes the script fail with exit
# status 1.
#
# Timing: the CPU time (user + system) of each run, tavrin-net and vvp, with N vectors and with
# N/10; the cost per vector is the difference over the difference of counts, so that start-up
# (reading the JSON, building; loading the compiled design) does not count; iverilog's compile is
# not timed. The runs of the two simulators are interleaved, R rounds, and the medians printed.
#   --check       correctness only: one untimed run of N vectors (100 by default); says how many
#                 of the outputs (one port of one vector each) were checked, those Icarus does not
#                 show with an x after the reset
#   --settle      each design's longest settling in both simulators, on N vectors (1000 by
#                 default) at a period of 20000 (the designs' periods come from it, with a margin)
#   --cachegrind  instructions, D1 and last-level misses per vector of each simulator under
#                 valgrind's cachegrind, from runs of N/10 and N/5 vectors (N = 500 by default)
#   --build DIR   the build with tools/net/tavrin-net and bench/tavrin-peer ($TAVRIN_BINARY_DIR or
#                 build/ by default)
# Exit status: 0 all equal, 1 a difference or a failed run, 2 a usage error or a missing tool.
set -u

here=$(cd "$(dirname "$0")" && pwd)
designs_dir=$here/peer/designs

# The designs of bench/peer/designs, in this order. Each file says how it is run in a line
# "// peer.sh: --period P [OPTION...]": its period (time steps per vector, above its longest
# settling in tavrin-net with a margin: bench/peer.sh --settle) and the options of tavrin-peer
# vectors that give its clock and reset their patterns.
all_designs="mul16 mul32 mul64 add256 alu32 crc32 sha256 counters cpu16"
usage() {
  echo "usage: $0 [--vectors N] [--period P] [--rounds R] [--build DIR] [--check | --settle | --cachegrind] [DESIGN...]" >&2
  echo "designs: $all_designs" >&2
  exit 2
}
vectors=
period=
rounds=5
mode="time"
build=${TAVRIN_BINARY_DIR:-$here/../build}
count_option() { [[ "$2" =~ ^[1-9][0-9]*$ ]] || { echo "$0: $1 takes a positive number, not '$2'" >&2; usage; }; }
while [ $# -gt 0 ]; do
  case $1 in
    --vectors) count_option "$1" "${2-}"; vectors=$2; shift ;;
    --period) count_option "$1" "${2-}"; period=$2; shift ;;
    --rounds) count_option "$1" "${2-}"; rounds=$2; shift ;;
    --build) [ $# -ge 2 ] || usage; build=$2; shift ;;
    --check) mode=check ;;
    --settle) mode=settle ;;
    --cachegrind) mode=cachegrind ;;
    -*) echo "$0: unknown option '$1'" >&2; usage ;;
    *) break ;;
  esac
  shift
done
sources=()
# shellcheck disable=SC2086  # the list of names
[ $# -gt 0 ] || set -- $all_designs
for design in "$@"; do
  source=$design
  [[ "$design" == *.v ]] || source=$designs_dir/$design.v
  [ -f "$source" ] || { echo "$0: no design '$design' ($source)" >&2; usage; }
  sources+=("$(cd "$(dirname "$source")" && pwd)/$(basename "$source")")
done
case $mode in
  time) vectors=${vectors:-1000} ;;
  check) vectors=${vectors:-100} ;;
  settle) vectors=${vectors:-1000} ;;
  cachegrind) vectors=${vectors:-500} ;;
esac
small=$((vectors / 10))
if [ "$mode" = time ] || [ "$mode" = cachegrind ]; then
  [ "$small" -ge 1 ] || { echo "$0: --vectors must be at least 10 to time" >&2; exit 2; }
fi

tools="yosys iverilog vvp"
[ "$mode" = cachegrind ] && tools="$tools valgrind"
for tool in $tools; do
  command -v "$tool" > /dev/null || { echo "$0: $tool is not installed" >&2; exit 2; }
done
net=$build/tools/net/tavrin-net
peer=$build/bench/tavrin-peer
for exe in "$net" "$peer"; do
  [ -x "$exe" ] || { echo "$0: $exe is not built" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# fail DESIGN MESSAGE [FILE]: reports a failure, with the first lines of FILE.
fail() {
  echo "$1: FAIL: $2"
  [ $# -ge 3 ] && [ -s "$3" ] && head -n 20 "$3" | sed 's/^/  /'
  failed=1
}

# Icarus's output lines as a tavrin-net vector file: "@TIME" then the line, every output in
# hexadecimal (all bits 0 or 1), as the letter z (all z) or in binary (0, 1 and z), and not at all
# when a bit is x; the vectors before skip have no expectations.
to_vectors() {  # period skip < trace > vectors
  awk -v period="$1" -v skip="$2" '
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
    /^#/ { next }
    {
      line = ""; gap = "  "
      for (f = 1; f <= NF; f++) {
        word = $f
        if (word !~ /:=/) {
          if (k < skip) continue
          at = index(word, "=0b")
          name = substr(word, 1, at - 1)
          bits = substr(word, at + 3)
          if (bits ~ /[xX]/) continue
          if (bits ~ /^[zZ]+$/) word = name "=z"
          else if (bits ~ /^[01]+$/) word = name "=" hex(bits)
          line = line gap word
          gap = " "
          continue
        }
        line = line (line == "" ? "" : " ") word
      }
      print "@" (k + 1) * period
      print line
      k++
    }'
}

# timed SECONDS_VAR OUT COMMAND...: runs the command, standard output to OUT, and sets the
# variable to its CPU time (user + system, seconds). Returns the command's status.
timed() {
  local -n seconds=$1
  local out=$2 status
  shift 2
  local TIMEFORMAT='%3U %3S'
  { time "$@" > "$out" 2> "$out.err"; } 2> "$work/time"
  status=$?
  # shellcheck disable=SC2034  # the caller's variable
  seconds=$(awk '{ print $1 + $2 }' "$work/time")
  return $status
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

# tavrin_ok VEC OUT STATUS: whether tavrin-net's run passed every expectation of VEC.
tavrin_ok() {
  local expected
  expected=$(grep -v '^@' "$1" | grep -o '[^ ]*=[^ ]*' | grep -vc ':=')
  [ "$3" -eq 0 ] && [ "$(tail -n 1 "$2")" = "$expected passed, 0 failed" ]
}

# cachegrind_counts COUNTS_FILE COMMAND...: instructions, D1 misses and last-level misses of
# the command under cachegrind, as "I D1 LL".
cachegrind_counts() {
  local out=$1
  shift
  valgrind --tool=cachegrind --cache-sim=yes --cachegrind-out-file=/dev/null "$@" > /dev/null 2> "$out.log"
  awk '
    { gsub(",", "") }
    function after(word,   f) { for (f = 1; f < NF; f++) if ($f == word) return $(f + 1) }
    /I *refs:/ { i = after("refs:") }
    /D1 *misses:/ { d = after("misses:") }
    /LL misses:/ { l = after("misses:") }
    END { print i, d, l }' "$out.log"
}

echo "machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1)"
case $mode in
  time) printf '%-9s %7s %8s %7s %11s %11s %7s\n' design cells vectors period tavrin_us icarus_us ratio ;;
  check) printf '%-9s %7s %8s %7s %s\n' design cells vectors period result ;;
  settle) printf '%-9s %7s %8s %14s %14s\n' design cells vectors tavrin_settle icarus_settle ;;
  cachegrind)
    printf '%-9s %7s %12s %10s %10s %12s %10s %10s\n' design cells tavrin_instr tavrin_d1 tavrin_ll icarus_instr \
      icarus_d1 icarus_ll ;;
esac
ratios=()
for source in "${sources[@]}"; do
  design=$(basename "$source" .v)
  d=$work/$design
  # The design's line "// peer.sh: --period P OPTIONS".
  read -r -a options <<< "$(sed -n 's|^// peer.sh: *||p' "$source" | head -n 1)"
  p=1000
  pattern=()
  for ((i = 0; i < ${#options[@]}; i++)); do
    if [ "${options[i]}" = --period ]; then
      p=${options[i + 1]}
      i=$((i + 1))
    else
      pattern+=("${options[i]}")
    fi
  done
  p=${period:-$p}
  [ "$mode" = settle ] && p=20000
  # A design with a reset is checked from the vector that releases it (tavrin-peer's --lead).
  skip=0
  [[ " ${pattern[*]} " == *" --hold "* ]] && skip=4
  if ! yosys -q -p "read_verilog $source; tribuf; synth -top $design; write_json $d.json" \
    > "$d.yosys" 2>&1; then
    fail "$design" "yosys failed" "$d.yosys"
    continue
  fi
  if ! "$peer" verilog "$d.json" > "$d.peer.v" 2> "$d.peer.err" ||
    ! "$peer" vectors "${pattern[@]}" "$d.json" "$vectors" 1 > "$d.in" 2>> "$d.peer.err" ||
    ! "$peer" testbench "$d.json" "$d.in" "$p" > "$d.tb.v" 2>> "$d.peer.err"; then
    fail "$design" "tavrin-peer failed" "$d.peer.err"
    continue
  fi
  cells=$(sed -n '1s/^[^:]*: \([0-9]*\) cells.*/\1/p' "$d.peer.v")
  head -n "$small" "$d.in" > "$d.small.in"
  if ! iverilog -g2005 -o "$d.vvp" "$d.peer.v" "$d.tb.v" > "$d.iverilog" 2>&1; then
    fail "$design" "iverilog failed" "$d.iverilog"
    continue
  fi
  if ! vvp -n "$d.vvp" "+vectors=$d.in" > "$d.trace" 2> "$d.vvp.err" || ! grep -q '^# settled' "$d.trace"; then
    fail "$design" "vvp failed" "$d.vvp.err"
    continue
  fi
  icarus_settle=$(sed -n 's/^# settled //p' "$d.trace")
  outputs=$(awk '!/^#/ { for (f = 1; f <= NF; f++) if ($f !~ /:=/) n++ } END { print n + 0 }' "$d.trace")
  to_vectors "$p" "$skip" < "$d.trace" > "$d.vec"
  head -n $((2 * small)) "$d.vec" > "$d.small.vec"
  vvp -n "$d.vvp" "+vectors=$d.small.in" > "$d.small.trace" 2> /dev/null

  # The first run writes a table of its settle points (-s): the rows after the reset's are a wait
  # (@TIME) and the vector's setting in turn, and a setting's row comes when the circuit has
  # settled, or at the next vector's time when it has not.
  first_input=$(head -n 1 "$d.trace" | sed 's/:=.*//')
  "$net" -X -Q -v "$d.vec" -s "$d.table" -G "$first_input" "$d.json" > "$d.out" 2> "$d.err"
  status=$?
  if ! tavrin_ok "$d.vec" "$d.out" "$status"; then
    fail "$design" "tavrin-net exit status $status, '$(tail -n 1 "$d.out")'" "$d.err"
    grep -m 10 "^$d.vec:" "$d.out" | sed "s|^$work/||; s/^/  /"
    continue
  fi
  tavrin_settle=$(awk -v p="$p" '
    NR == 2 { m = $1 }
    NR > 2 && (NR - 2) % 2 == 0 { t = $1 - (NR - 2) / 2 * p; if (t > m) m = t }
    END { print m + 0 }' "$d.table")
  if [ "$tavrin_settle" -ge "$p" ] || [ "$icarus_settle" -ge $((p - 1)) ]; then
    fail "$design" "a vector has not settled within the period $p (tavrin-net $tavrin_settle steps, Icarus $icarus_settle)"
    continue
  fi
  case $mode in
    check)
      printf '%-9s %7s %8s %7s %s\n' "$design" "$cells" "$vectors" "$p" \
        "equal ($(tail -n 1 "$d.out" | cut -d' ' -f1) of $outputs outputs checked)"
      continue ;;
    settle)
      printf '%-9s %7s %8s %14s %14s\n' "$design" "$cells" "$vectors" "$tavrin_settle" "$icarus_settle"
      continue ;;
    cachegrind)
      t1=$(cachegrind_counts "$d.cg" "$net" -X -Q -v "$d.small.vec" "$d.json")
      head -n $((4 * small)) "$d.vec" > "$d.cg.vec"
      head -n $((2 * small)) "$d.in" > "$d.cg.in"
      t2=$(cachegrind_counts "$d.cg" "$net" -X -Q -v "$d.cg.vec" "$d.json")
      i1=$(cachegrind_counts "$d.cg" vvp -n "$d.vvp" "+vectors=$d.small.in")
      i2=$(cachegrind_counts "$d.cg" vvp -n "$d.vvp" "+vectors=$d.cg.in")
      echo "$t1 $t2 $i1 $i2" | awk -v n="$small" -v design="$design" -v cells="$cells" '
        { printf "%-9s %7s %12.0f %10.1f %10.1f %12.0f %10.1f %10.1f\n", design, cells, ($4 - $1) / n, ($5 - $2) / n,
            ($6 - $3) / n, ($10 - $7) / n, ($11 - $8) / n, ($12 - $9) / n }'
      continue ;;
  esac

  # Timed: the two simulators in turn, N vectors then N/10, every run checked.
  tavrin_costs=()
  icarus_costs=()
  for ((round = 0; round < rounds; round++)); do
    timed t_full "$d.out" "$net" -X -Q -v "$d.vec" "$d.json"
    tavrin_ok "$d.vec" "$d.out" $? || { fail "$design" "a timed tavrin-net run failed" "$d.out"; break; }
    timed i_full "$d.run" vvp -n "$d.vvp" "+vectors=$d.in"
    cmp -s "$d.run" "$d.trace" || { fail "$design" "a timed vvp run differs from the first" "$d.run.err"; break; }
    timed t_small "$d.out" "$net" -X -Q -v "$d.small.vec" "$d.json"
    tavrin_ok "$d.small.vec" "$d.out" $? || { fail "$design" "a timed tavrin-net run failed" "$d.out"; break; }
    timed i_small "$d.run" vvp -n "$d.vvp" "+vectors=$d.small.in"
    cmp -s "$d.run" "$d.small.trace" || { fail "$design" "a timed vvp run differs from the first" "$d.run.err"; break; }
    tavrin_costs+=("$(awk -v a="$t_full" -v b="$t_small" -v n=$((vectors - small)) 'BEGIN { print (a - b) / n * 1e6 }')")
    icarus_costs+=("$(awk -v a="$i_full" -v b="$i_small" -v n=$((vectors - small)) 'BEGIN { print (a - b) / n * 1e6 }')")
  done
  [ "${#icarus_costs[@]}" -eq "$rounds" ] || continue
  tavrin_us=$(printf '%s\n' "${tavrin_costs[@]}" | median)
  icarus_us=$(printf '%s\n' "${icarus_costs[@]}" | median)
  ratio=$(awk -v t="$tavrin_us" -v i="$icarus_us" 'BEGIN { if (t > 0) printf "%.2f", i / t; else print "inf" }')
  ratios+=("$ratio")
  printf '%-9s %7s %8s %7s %11.2f %11.2f %7s\n' "$design" "$cells" "$vectors" "$p" "$tavrin_us" "$icarus_us" "$ratio"
done

count=${#sources[@]}
if [ "$failed" -ne 0 ]; then
  echo "FAILED: a design's outputs differ or a run failed (above)"
  exit 1
fi
case $mode in
  time)
    geomean=$(printf '%s\n' "${ratios[@]}" | awk '{ s += log($1) } END { printf "%.2f", exp(s / NR) }')
    echo "all $count designs equal in both simulators; $rounds rounds, CPU time per vector (us), medians;" \
      "ratio Icarus/Tavrin (above 1: Tavrin faster), geometric mean $geomean" ;;
  *) echo "all $count designs equal in both simulators" ;;
esac
exit 0
