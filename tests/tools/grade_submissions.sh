#!/bin/bash
# tavrin-grade, installed with the package into a temporary prefix: a class of circuits (one
# correct, one wrong, one that does not compile, one that oscillates, one that floods its output,
# one beyond the memory limit, one that hangs) graded two at a time into the right rows of both
# summaries; a
# class of programs with the teacher's vectors and the programs/ folder with its own; usage
# errors; and an interrupted grading that leaves nothing running.
set -euo pipefail

binary_dir=${TAVRIN_BINARY_DIR:?TAVRIN_BINARY_DIR must name the build directory}
source_dir=${TAVRIN_SOURCE_DIR:?TAVRIN_SOURCE_DIR must name the tavrin repository}
# The sanitizer build's circuits reserve more address space than any memory limit allows, and
# report their own crashes; the script is the same in every build.
[ -z "${TAVRIN_SANITIZE:-}" ] || exit 77
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$binary_dir" --prefix "$prefix" > "$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
grade=$prefix/bin/tavrin-grade
fail=0
problem() { echo "grade: $*"; fail=1; }
for file in bin/tavrin-grade share/man/man1/tavrin-grade.1; do
  [ -f "$prefix/$file" ] || problem "$file is not installed"
done
[ -x "$grade" ] || { problem "bin/tavrin-grade is not executable"; exit 1; }

# ---- a class of circuits: y = a xor b ------------------------------------------------------

class=$work/class
mkdir -p "$class"/{correct,wrong,typo,loops,floods,greedy,stuck}
cat > "$class/correct/circuit.cpp" <<'END'
#include "tavrin.h"

void simnet() {
  Signal a(1, "a"), b(1, "b"), n(1, "n"), p(1, "p"), q(1, "q"), y(1, "y");
  Switch(SD("aa"), a, 'a', Zero);
  Switch(SD("ba"), b, 'b', Zero);
  Nand(SD("ab"), (a, b), n);
  Nand(SD("ac"), (a, n), p);
  Nand(SD("bc"), (n, b), q);
  Nand(SD("ad"), (p, q), y);
}
END
# An OR where the XOR belongs: wrong once both inputs are 1.
cat > "$class/wrong/circuit.cpp" <<'END'
#include "tavrin.h"

void simnet() {
  Signal a(1, "a"), b(1, "b"), y(1, "y");
  Switch(SD("aa"), a, 'a', Zero);
  Switch(SD("ba"), b, 'b', Zero);
  Or(SD("ab"), (a, b), y);
}
END
sed 's/Nand(SD("ab")/Nandd(SD("ab")/' "$class/correct/circuit.cpp" > "$class/typo/circuit.cpp"
# The output fed back into its own gate: once a is 1, y keeps inverting itself, and the
# simulator's settle guard ends the run as a failure.
cat > "$class/loops/circuit.cpp" <<'END'
#include "tavrin.h"

void simnet() {
  Signal a(1, "a"), b(1, "b"), y(1, "y");
  Switch(SD("aa"), a, 'a', Zero);
  Switch(SD("ba"), b, 'b', Zero);
  Nand(SD("ab"), (a, y), y);
}
END
# A debugging loop that never ends (an unsigned count is never below 0).
cat > "$class/floods/circuit.cpp" <<'END'
#include <cstdio>

#include "tavrin.h"

void simnet() {
  Signal a(1, "a"), b(1, "b"), y(1, "y");
  Switch(SD("aa"), a, 'a', Zero);
  Switch(SD("ba"), b, 'b', Zero);
  Xor(SD("ab"), (a, b), y);
  for (unsigned bit = 3; bit >= 0; --bit) std::printf("wire %u\n", bit);
}
END
# 8 GB asked for (and never touched): beyond the memory limit, the allocation fails.
cat > "$class/greedy/circuit.cpp" <<'END'
#include <cstddef>

#include "tavrin.h"

void simnet() {
  static char* table = new char[std::size_t(1) << 33];
  table[0] = 1;
  Signal a(1, "a"), b(1, "b"), y(1, "y");
  Switch(SD("aa"), a, 'a', Zero);
  Switch(SD("ba"), b, 'b', Zero);
  Xor(SD("ab"), (a, b), y);
}
END
# Waits for something that never comes: only the wall clock ends it.
cat > "$class/stuck/circuit.cpp" <<'END'
#include <chrono>
#include <thread>

#include "tavrin.h"

void simnet() {
  Signal a(1, "a"), b(1, "b"), y(1, "y");
  Switch(SD("aa"), a, 'a', Zero);
  Switch(SD("ba"), b, 'b', Zero);
  Xor(SD("ab"), (a, b), y);
  for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}
END
cat > "$work/xor.vec" <<'END'
# y = a xor b
        y=0     # a=0 b=0
a       y=1     # a=1 b=0
b       y=0     # a=1 b=1
a       y=1     # a=0 b=1
b       y=0     # a=0 b=0
END

status=0
(cd "$work" && "$grade" -j 2 -t 5 -m 256 -O 64K -o "$work/out" class xor.vec) > "$work/stdout" 2> "$work/stderr" ||
  status=$?
[ "$status" -eq 0 ] || problem "the class was graded with exit status $status"
[ ! -s "$work/stderr" ] || { problem "the grading wrote on standard error:"; cat "$work/stderr"; }

# The rows, sorted by submission, then the detail of each (compiler messages vary in their
# wording: only the place and the name are checked there).
expected_rows="submission,status,passed,total
correct,passed,5,5
floods,flooded,0,5
greedy,crashed,0,5
loops,failed,0,5
stuck,timed-out,0,5
typo,build-failed,0,5
wrong,failed,4,5"
rows=$(cut -d, -f1-4 "$work/out/summary.csv")
[ "$rows" = "$expected_rows" ] || { problem "summary.csv rows:"; diff <(echo "$expected_rows") <(echo "$rows") || true; }
declare -A details=(
  [correct]=''
  [floods]='more than 65536 bytes on standard output'
  [greedy]="killed by SIGABRT: *bad_alloc* (the memory limit is 256 MB)"
  [loops]='xor.vec:3: the circuit has not settled * after this step; still changing: y=*'
  [stuck]='no result within 5 s'
  [typo]="typo/circuit.cpp:[0-9]*: error: *'Nandd'*"
  [wrong]='xor.vec:4: y expected 0 got 1')
while IFS=, read -r name _ _ _ seconds detail; do
  [ "$name" != submission ] || continue
  # shellcheck disable=SC2053  # the expected detail is a pattern
  [[ $detail == ${details[$name]} ]] || problem "$name: detail '$detail', expected '${details[$name]}'"
  [[ $seconds =~ ^[0-9]+\.[0-9][0-9]$ ]] || problem "$name: seconds '$seconds'"
done < "$work/out/summary.csv"
# The readable lines, in the same order, and the total.
readable=$(head -n 7 "$work/stdout" | while read -r name status passed _ total _; do echo "$name,$status,$passed,$total"; done)
[ "$readable" = "$(tail -n +2 <<< "$rows")" ] || { problem "standard output:"; cat "$work/stdout"; }
grep -q '^7 submissions: 1 passed, 2 failed, 1 build-failed, 1 crashed, 1 timed-out, 1 flooded; summary in ' "$work/stdout" || problem "no closing line on standard output"

# JUnit: one case per submission and vector file, a failure per failed run, an error per run
# without a result; the elements closed.
xml=$work/out/summary.xml
grep -q '<testsuite name="class" tests="7" failures="2" errors="4" time="[0-9.]*">' "$xml" ||
  { problem "summary.xml suite counts:"; grep '<testsuite ' "$xml"; }
for element in testsuites testsuite failure error; do
  opened=$(grep -c "<${element}[ >]" "$xml" || true)
  closed=$(grep -c "</$element>" "$xml" || true)
  [ "$opened" = "$closed" ] || problem "summary.xml: $opened <$element> opened, $closed closed"
done
[ "$(grep -c '<testcase classname="[a-z]*" name="xor.vec" time="[0-9.]*"' "$xml")" = 7 ] || problem "summary.xml: not 7 test cases"
[ "$(grep -c '<testcase [^>]*/>' "$xml")" = 1 ] || problem "summary.xml: not one passed case"
[ "$(grep -c '</testcase>' "$xml")" = 6 ] || problem "summary.xml: not six cases with a failure or error"
grep -q '<failure type="failed" message="4 of 5 passed: xor.vec:4: y expected 0 got 1">' "$xml" ||
  problem "summary.xml: the wrong circuit's failure"
grep -q "<error type=\"build-failed\" message=\"0 of 5 passed: typo/circuit.cpp:[0-9:]* error: .*Nandd" "$xml" ||
  problem "summary.xml: the build failure"

# Two submissions at a time, never more: the most grading intervals that overlap.
starts=() ends=()
for log in "$work"/out/logs/*/grade.log; do
  starts+=("$(sed -n 's/^started \([0-9]*\)\.\([0-9]*\)$/\1\2/p' "$log")")
  ends+=("$(sed -n 's/^ended \([0-9]*\)\.\([0-9]*\):.*/\1\2/p' "$log")")
done
most=0
for start in "${starts[@]}"; do
  at=0
  for ((i = 0; i < ${#starts[@]}; ++i)); do
    [ "${starts[i]}" -gt "$start" ] || [ "${ends[i]}" -le "$start" ] || at=$((at + 1))
  done
  [ "$at" -le "$most" ] || most=$at
done
[ "$most" -eq 2 ] || problem "at most $most submissions were graded at the same time, expected 2"
# What a run leaves: its output, its own report and the build's log.
for file in wrong/xor.vec.out wrong/xor.vec.xml typo/build.out floods/xor.vec.out; do
  [ -f "$work/out/logs/$file" ] || problem "logs/$file is missing"
done
[ "$(stat -c %s "$work/out/logs/floods/xor.vec.out")" -le 65537 ] || problem "the flood was kept beyond the limit"

# ---- programs ---------------------------------------------------------------------------

programs=$work/programs
mkdir -p "$programs"/{ok,off,typo}
cp "$source_dir/programs/loop.s" "$programs/ok/"
sed 's/setlo r1, 10 /setlo r1, 9  /' "$source_dir/programs/loop.s" > "$programs/off/loop.s"
sed 's/add   r2, r2, r1/add   r2, r2, r9/' "$source_dir/programs/loop.s" > "$programs/typo/loop.s"
status=0
"$grade" -o "$work/out-programs" "$programs" "$source_dir/programs/loop.vec" > /dev/null 2>&1 || status=$?
[ "$status" -eq 0 ] || problem "the programs were graded with exit status $status"
rows=$(cut -d, -f1-4,6 "$work/out-programs/summary.csv")
# 9 + 8 + ... + 1 = 45 instead of 55, and one pass fewer: Reg2 and Reg3 wrong at both checks.
expected_rows="submission,status,passed,total,detail
off,failed,8,12,loop.vec:3: Reg2 expected 0x0037 got 0x002D (and 3 more)
ok,passed,12,12,
typo,build-failed,0,12,typo/loop.s:20: error: bad register 'r9' (registers are r0 to r7)"
[ "$rows" = "$expected_rows" ] || { problem "programs:"; diff <(echo "$expected_rows") <(echo "$rows") || true; }

# The programs folder with no vector files named: each NAME.s with its own NAME.vec.
status=0
"$grade" -j 2 -o "$work/out-own" "$source_dir/programs" > /dev/null 2>&1 || status=$?
[ "$status" -eq 0 ] || problem "programs/ was graded with exit status $status"
count=0
while IFS=, read -r name status passed total _; do
  [ "$name" != submission ] || continue
  count=$((count + 1))
  [[ $name == *.s && $status == passed && $passed == "$total" && $total -gt 0 ]] ||
    problem "programs/: $name $status $passed of $total"
done < "$work/out-own/summary.csv"
sources=("$source_dir"/programs/*.s)
[ "$count" -eq "${#sources[@]}" ] || problem "programs/: $count rows"

# ---- usage errors: status 2, a message, nothing graded ------------------------------------

mkdir "$work/notes"
echo "mine" > "$work/notes/keep.txt"
usage_cases=(
  "no class folder|"
  "-j 0 $programs|is not a number of submissions"
  "-t 0 $programs|is not a number of seconds"
  "-O 5G $programs|is not a number of bytes"
  "--bogus $programs|unknown option"
  "$work/none|is not a folder"
  "$programs $work/none.vec|cannot read the vector file"
  "-o $work/notes $programs|did not write"
  "--prefix $work $programs|tavrin is missing"
)
for case in "${usage_cases[@]}"; do
  arguments=${case%%|*} message=${case#*|}
  [ "$arguments" != "no class folder" ] || arguments=
  status=0
  # shellcheck disable=SC2086  # the arguments are words
  "$grade" $arguments > /dev/null 2> "$work/usage.err" || status=$?
  [ "$status" -eq 2 ] || problem "'tavrin-grade $arguments' ended with status $status, expected 2"
  grep -q -e "$message" "$work/usage.err" || { problem "'tavrin-grade $arguments' said:"; cat "$work/usage.err"; }
done
[ "$(cat "$work/notes/keep.txt")" = mine ] || problem "a foreign output folder was changed"

# ---- an interrupted grading stops what it runs --------------------------------------------

mkdir -p "$work/one/correct"
cp "$class/correct/circuit.cpp" "$work/one/correct/"
"$grade" -o "$work/out-stopped" "$work/one" "$work/xor.vec" > "$work/stopped.out" 2>&1 &
grader=$!
running=$work/out-stopped/logs/correct/.running
for ((i = 0; i < 600; ++i)); do [ ! -s "$running" ] || break; sleep 0.05; done
group=$(cat "$running" 2> /dev/null || true)
[ -n "$group" ] || problem "the build never started"
kill -TERM "$grader"
status=0
wait "$grader" || status=$?
[ "$status" -eq 130 ] || { problem "the interrupted grading ended with status $status"; cat "$work/stopped.out"; }
# The build's process group (timeout's) goes away within its grace time.
for ((i = 0; i < 200; ++i)); do
  if [ -z "$group" ] || ! kill -0 -- "-$group" 2> /dev/null; then break; fi
  sleep 0.05
done
[ -z "$group" ] || ! kill -0 -- "-$group" 2> /dev/null || problem "the interrupted build is still running"
[ ! -e "$work/out-stopped/summary.csv" ] || problem "an interrupted grading wrote a summary"

exit "$fail"
