#!/bin/bash
# tavrin under valgrind: an early exit and a short run without a display, no memory errors and no
# leaks beyond the memory the simulator keeps on purpose (valgrind.supp says which and why).
set -u

if [ -n "${TAVRIN_SANITIZE:-}" ]; then
  echo "skipped: valgrind cannot run the sanitizer build"
  exit 77
fi
if ! command -v valgrind > /dev/null; then
  echo "skipped: valgrind is not installed"
  exit 77
fi

exe=${TAVRIN_EXE:?TAVRIN_EXE must name the tavrin executable}
suppressions="$(dirname "$0")/valgrind.supp"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
check() {
  local name=$1
  shift
  if ! env -u DISPLAY valgrind -q --leak-check=full --error-exitcode=1 --suppressions="$suppressions" \
       "$exe" "$@" > "$work/$name.out" 2> "$work/$name.err"; then
    echo "FAIL: valgrind $exe $*"
    grep -v '^Time = ' "$work/$name.err" | head -60
    failures=$((failures + 1))
  else
    echo "ok: valgrind $exe $*"
  fi
}

check early-exit -X -E
check short-run -X -T 2000

[ "$failures" -eq 0 ]
