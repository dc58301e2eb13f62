#!/bin/bash
# cmake --install into a temporary prefix, then a circuit built against it with find_package(Tavrin).
set -euo pipefail

binary_dir=${TAVRIN_BINARY_DIR:?TAVRIN_BINARY_DIR must name the build directory}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$binary_dir" --prefix "$prefix" > "$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
fail=0
# The outside build below needs the headers, the library, main.cpp and the package config.
for file in bin/tavrin bin/tavrin-asm share/man/man1/tavrin.1 share/man/man1/tavrin-asm.1; do
  [ -f "$prefix/$file" ] || { echo "install: $file is missing"; fail=1; }
done

mkdir "$work/mycircuit"
cat > "$work/mycircuit/CMakeLists.txt" <<'END'
cmake_minimum_required(VERSION 3.25)
project(mycircuit CXX)
find_package(Tavrin REQUIRED)
tavrin_add_simulator(mycircuit circuit.cpp)
END
cat > "$work/mycircuit/circuit.cpp" <<'END'
#include "tavrin.h"

void simnet() {
  Signal a(1, "a"), b(1, "b"), y(1, "y");
  Switch(SD("aa"), a, 'a', Zero);
  Switch(SD("ba"), b, 'b', Zero);
  Nand(SD("ab"), (a, b), y);
  Probe(SD("ac"), y, "y");
}
END

cmake -S "$work/mycircuit" -B "$work/build" -DCMAKE_PREFIX_PATH="$prefix" > "$work/configure.log" 2>&1 &&
  cmake --build "$work/build" -j2 > "$work/build.log" 2>&1 || { cat "$work/configure.log" "$work/build.log"; exit 1; }
if grep -q 'warning' "$work/configure.log" "$work/build.log"; then
  grep -A3 'warning' "$work/configure.log" "$work/build.log"
  echo "install: the outside build is not warning-free"
  fail=1
fi

# The NAND goes low once both switches are up, after the second press has settled.
status=0
env -u DISPLAY "$work/build/mycircuit" -X -k a,b > /dev/null 2> "$work/err" || status=$?
expected='Time = 0  Probe for y at ac  Value = UNINITIALIZED
Time = 0  Probe for y at ac  Value = UNINITIALIZED
Time = 7  Probe for y at ac  Value = XXX
Time = 20  Probe for y at ac  Value = ONE
Time = 47  Probe for y at ac  Value = XXX
Time = 50  Probe for y at ac  Value = ZERO'
if [ "$status" -ne 0 ] || [ "$(grep '^Time' "$work/err")" != "$expected" ]; then
  echo "install: the outside circuit ran with status $status:"
  cat "$work/err"
  fail=1
fi

status=0
env -u DISPLAY "$prefix/bin/tavrin" -X -E > /dev/null 2>&1 || status=$?
[ "$status" -eq 0 ] || { echo "install: the installed tavrin exits with $status"; fail=1; }
exit "$fail"
