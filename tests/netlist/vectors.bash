# Shared by the netlist checks (icarus_check.sh, bench_check.sh): finding tavrin-net, a work
# folder removed on exit, and running one vector file on one netlist. Sourced, not run.

set -u

NET=${TAVRIN_NET_EXE:-${TAVRIN_BINARY_DIR:-}/tools/net/tavrin-net}
if [ ! -x "$NET" ]; then
  echo "skipped: tavrin-net is not built ($NET)"
  exit 77
fi

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
FAILED=0

# run_vectors NAME VECTORS NETLIST: runs tavrin-net -X -Q -v VECTORS NETLIST in the work folder.
# It passes when the exit status is 0 and every expectation in VECTORS was counted as passed.
# Prints one line for NAME; on a failure also tavrin-net's messages and each failed expectation
# (the first 20) with the vector line it comes from, and sets FAILED to 1.
run_vectors() {
  local name=$1 vectors=$2 netlist=$3
  local steps expected status summary failure number
  steps=$(wc -l < "$vectors")
  expected=$(grep -o '[^ ]*=[^ ]*' "$vectors" | grep -vc ':=')
  timeout 300 "$NET" -X -Q -v "$vectors" "$netlist" > "$name.out" 2> "$name.err"
  status=$?
  summary=$(tail -n 1 "$name.out")
  if [ "$status" -eq 0 ] && [ "$summary" = "$expected passed, 0 failed" ]; then
    echo "$name: $steps steps, $summary"
    return 0
  fi
  FAILED=1
  echo "$name: $steps steps, $expected expectations: tavrin-net exit status $status, '$summary'"
  cat "$name.err"
  grep -m 20 "^$vectors:[0-9]*:" "$name.out" | while IFS= read -r failure; do
    number=${failure#"$vectors:"}
    number=${number%%:*}
    echo "  $failure"
    echo "    line $number: $(sed -n "${number}p" "$vectors")"
  done
  return 1
}
