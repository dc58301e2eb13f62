#!/bin/bash
# cpack -G DEB from the build tree, unpacked with dpkg-deb -x; an outside circuit that uses
# BasicPipe and Memory from pipeline.h builds against it with CMake and with pkg-config + make,
# and the examples' CMakeLists configures against it (one example built: they share the rules).
set -euo pipefail

binary_dir=${TAVRIN_BINARY_DIR:?TAVRIN_BINARY_DIR must name the build directory}
source_dir=${TAVRIN_SOURCE_DIR:?TAVRIN_SOURCE_DIR must name the tavrin repository}
# A sanitized library needs sanitized circuits; the install test covers that build.
[ -z "${TAVRIN_SANITIZE:-}" ] || exit 77
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$binary_dir/CPackConfig.cmake" -B "$work/pkg" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/pkg/*.deb)
dpkg-deb -x "$deb" "$work/root"
usr=$work/root/usr
fail=0
for file in bin/tavrin bin/tavrin-asm include/tavrin/tavrin.h include/tavrin/pipeline/pipeline.h \
            share/tavrin/main.cpp; do
  [ -f "$usr/$file" ] || { echo "deb: $file is missing"; fail=1; }
done

mkdir "$work/pipe"
cat > "$work/pipe/circuit.cpp" <<'END'
#include "pipeline.h"

// The processor from its two parts, with the built-in program.
void simnet() {
  const ProcessorSignals s;
  BasicPipe(SD("la-sj"), s.reset, s.clock, s.DataBus, s.memory, s.read, s.AddrBus, s.DataWrite, s.PC, s.PCtmp,
            s.IR_ID, s.PC1, s.A, s.B, s.IR1, s.D, s.IR_EX, s.ALUo, s.DMAR, s.SMDR, s.N, s.Z, s.IR_MEM, s.ALUo1,
            s.LMDR, s.IR_WB, s.Reg0, s.Reg1, s.Reg2, s.Reg3, s.Reg4, s.Reg5, s.Reg6, s.Reg7, s.stallIF, s.stallID,
            s.stallEX, s.stallMEM, s.branchDecision, s.MemReq);
  Memory(SD("ol-sn"), s.memory, s.read, s.AddrBus, s.DataWrite, s.DataBus, s.enTriLink, s.enTriROM, s.enTriRAM,
         romContents);
  Switch(SD("ad"), s.reset, '0', One);
  Switch(SD("bd"), s.clock, '1', Zero);
  Probe(SD("ak"), s.Reg1[1], "Reg1[1]");
}
END
cat > "$work/pipe/CMakeLists.txt" <<'END'
cmake_minimum_required(VERSION 3.25)
project(pipe CXX)
find_package(Tavrin REQUIRED)
tavrin_add_simulator(pipe circuit.cpp)
target_link_libraries(pipe PRIVATE Tavrin::pipeline)
END
cat > "$work/pipe/Makefile" <<'END'
pipe-make: circuit.cpp
	$(CXX) -Wall -Wextra $$(pkg-config --cflags tavrin) circuit.cpp $$(pkg-config --variable=mainsource tavrin) \
	  $$(pkg-config --libs tavrin) -o $@
END

built() {  # log, then the command
  local log=$1; shift
  if ! "$@" > "$log" 2>&1; then cat "$log"; echo "deb: $* failed"; fail=1; return 1; fi
  if grep -q 'warning' "$log"; then grep -A3 'warning' "$log"; echo "deb: $* is not warning-free"; fail=1; fi
}
built "$work/cmake.log" cmake -S "$work/pipe" -B "$work/pipe-build" -DCMAKE_PREFIX_PATH="$usr" &&
  built "$work/build.log" cmake --build "$work/pipe-build" -j2
PKG_CONFIG_PATH=$(dirname "$(find "$usr" -name tavrin.pc)") built "$work/make.log" make -C "$work/pipe"
built "$work/ex-cmake.log" cmake -S "$source_dir/examples" -B "$work/examples" -DCMAKE_PREFIX_PATH="$usr" &&
  built "$work/ex-build.log" cmake --build "$work/examples" --target counter

# After reset and four clock cycles, the first instruction writes Reg1 = 0x003E: bit 1 is ONE.
for exe in "$work/pipe-build/pipe" "$work/pipe/pipe-make"; do
  [ -x "$exe" ] || continue
  status=0
  env -u DISPLAY "$exe" -X -k 0,1*9 > /dev/null 2> "$work/err" || status=$?
  last=$(grep '^Time' "$work/err" | tail -n 1)
  if [ "$status" -ne 0 ] || [ "${last##*Value = }" != ONE ]; then
    echo "deb: $exe ran with status $status, last probe line: $last"
    fail=1
  fi
done
exit "$fail"
