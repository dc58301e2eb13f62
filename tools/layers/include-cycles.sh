#!/bin/bash
# Prints the include edges between the folders of src-simulator/ (a folder's files including
# another folder's headers) and the cycles among them; exits 1 when there is a cycle.
#
#   tools/layers/include-cycles.sh [SOURCE_DIR]    (default: the repository this script is in)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
src=$root/src-simulator
edges=$(for dir in "$src"/*/; do
  from=$(basename "$dir")
  grep -ho '^#include "[A-Za-z_]*/' "$dir"* 2>/dev/null | sed 's/#include "//; s#/$##' | sort -u |
    while read -r to; do if [ "$to" != "$from" ] && [ -d "$src/$to" ]; then echo "$from $to"; fi; done
done | sort -u)
echo "$edges" | sed 's/ / -> /'
# A folder is on a cycle when it can reach itself.
cycle=0
for folder in $(echo "$edges" | tr ' ' '\n' | sort -u); do
  reached=" " frontier=$folder
  while [ -n "$frontier" ]; do
    next=""
    for f in $frontier; do
      for to in $(echo "$edges" | awk -v f="$f" '$1 == f { print $2 }'); do
        [[ "$reached" == *" $to "* ]] && continue
        reached+="$to "
        next+=" $to"
      done
    done
    frontier=$next
  done
  if [[ "$reached" == *" $folder "* ]]; then
    echo "cycle: $folder includes, through others, itself"
    cycle=1
  fi
done
exit "$cycle"
