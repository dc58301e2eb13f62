#!/bin/bash
# Every construction function in the public headers has its section in docs/components.md.
set -euo pipefail
root=${TAVRIN_SOURCE_DIR:?TAVRIN_SOURCE_DIR must name the tavrin repository}
doc=$root/docs/components.md
fail=0
names=$( (sed -n 's/^void \([A-Za-z]*\)(.*/\1/p' "$root"/src-simulator/components/*Ph1.h; echo Signal; echo SD) | sort -u)
for name in $names; do
  grep -qx "## $name" "$doc" || { echo "docs/components.md has no section for $name"; fail=1; }
done
# and every section names something that exists
for name in $(sed -n 's/^## \([A-Za-z]*\)$/\1/p' "$doc"); do
  grep -qx "$name" <<< "$names" || { echo "docs/components.md: section $name names no construction function"; fail=1; }
done
exit "$fail"
