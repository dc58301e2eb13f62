#!/bin/bash
# The folders of src-simulator/ keep their layers: no include circle between folders, nothing of
# the window in the kernel, the event queue reached only through the kernel, and component kinds
# told apart by their kind, never by comparing the address of a function.
set -uo pipefail
source_dir=${TAVRIN_SOURCE_DIR:?TAVRIN_SOURCE_DIR must name the tavrin repository}
src=$source_dir/src-simulator
fail=0
check() {  # check WHAT OUTPUT: OUTPUT must be empty
  if [ -n "$2" ]; then echo "FAIL: $1"; echo "$2"; fail=1; fi
}
if ! cycles=$(bash "$source_dir/tools/layers/include-cycles.sh" "$source_dir"); then
  check "include circle between folders" "$(echo "$cycles" | grep '^cycle')"
fi
check "the kernel includes the display" "$(grep -rn '#include "display/' "$src/kernel")"
check "the queue used outside the kernel" \
  "$(grep -rln 'kernel/SkewHeap.h\|skewHeap' "$src" --include='*.cpp' --include='*.h' | grep -v "^$src/kernel/")"
check "a kind recognised by a function's address" \
  "$(grep -rnE '(==|!=) *&?[A-Za-z_]+(RT|Ph1|Key|Draw|Eval)\b|(RT|Ph1|Key|Draw|Eval) *(==|!=)' "$src")"
[ "$fail" -eq 0 ] && echo "layers kept"
exit "$fail"
