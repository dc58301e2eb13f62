#!/bin/bash
# A circuit outside this repository, built through tavrin_add_simulator the way the README shows.
set -euo pipefail

source_dir=${TAVRIN_SOURCE_DIR:?TAVRIN_SOURCE_DIR must name the tavrin repository}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/mycircuit"
cat > "$work/mycircuit/CMakeLists.txt" <<END
cmake_minimum_required(VERSION 3.25)
project(mycircuit CXX)
add_subdirectory($source_dir tavrin-build-dir)
tavrin_add_simulator(mycircuit circuit.cpp)
END
cat > "$work/mycircuit/circuit.cpp" <<'END'
#include "tavrin.h"

void simnet() {
  Signal a(1, "a"), b(1, "b"), y(1, "y");
  Switch(SD("aa"), a, 'a', Zero);
  Switch(SD("ba"), b, 'b', One);
  Nand(SD("ab"), (a, b), y);
  Probe(SD("ac"), y, "y");
}
END

cmake -S "$work/mycircuit" -B "$work/build" -DCMAKE_BUILD_TYPE=Debug > "$work/configure.log" 2>&1 ||
  { cat "$work/configure.log"; exit 1; }
cmake --build "$work/build" --target mycircuit -j2 > "$work/build.log" 2>&1 ||
  { cat "$work/build.log"; exit 1; }
if grep -q 'warning' "$work/configure.log" "$work/build.log"; then
  grep -A3 'warning' "$work/configure.log" "$work/build.log"
  echo "outside circuit: the build is not warning-free"
  exit 1
fi

status=0
env -u DISPLAY "$work/build/mycircuit" -X -E > "$work/out" 2> "$work/err" || status=$?
fail=0
if [ "$status" -ne 0 ]; then
  echo "outside circuit: exit status $status, expected 0"
  fail=1
fi
printf 'There are 4 components.\nThere are 5 signals.\n' > "$work/expected-err"
if ! cmp -s "$work/err" "$work/expected-err"; then
  echo "outside circuit: unexpected standard error:"
  diff "$work/expected-err" "$work/err" || true
  fail=1
fi
if [ "$(head -n 1 "$work/out")" != "F1 Reset Simulation to Time Zero (restart)" ] ||
   [ "$(wc -l < "$work/out")" -ne 21 ]; then
  echo "outside circuit: the banner is missing from standard output:"
  cat "$work/out"
  fail=1
fi
if [ -n "${TAVRIN_EXE:-}" ] && ! cmp -s "$work/out" <(env -u DISPLAY "$TAVRIN_EXE" -h 2>/dev/null); then
  echo "outside circuit: the banner differs from tavrin's"
  fail=1
fi
exit "$fail"
