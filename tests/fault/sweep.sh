#!/usr/bin/env bash
# The fault sweep (tests/fault/sweep_test.cpp) in two processes at once: calls 1..K of every kind
# of machine operation failing in turn. K is the first argument: 3 by default, "all" for every
# call a clean run makes.
#   bash tests/fault/sweep.sh [K|all] [BINDIR]
set -uo pipefail
calls=${1:-3}
bin=${2:-$(cd "$(dirname "$0")/../.." && pwd)/build/native/bin}
log=$(mktemp -d "${TMPDIR:-/tmp}/vu-sweep-XXXXXX")
trap 'rm -rf "$log"' EXIT
start=$(date +%s)
for shard in 0 1; do
  VU_SWEEP_CALLS=$calls GTEST_TOTAL_SHARDS=2 GTEST_SHARD_INDEX=$shard \
    "$bin/fault_tests" --gtest_brief=1 >"$log/$shard" 2>&1 &
done
status=0
wait %1 || status=1
wait %2 || status=1
cat "$log/0" "$log/1" | grep -v '^\[ *\(RUN\|OK\) *\]' || true
runs=$(cat "$log/0" "$log/1" | awk '/^sweep .* runs of/ { n += $3 } END { print n + 0 }')
anomalies=$(cat "$log/0" "$log/1" | awk '/^sweep .* runs of/ { n += $(NF - 1) } END { print n + 0 }')
echo "fault sweep: calls 1..$calls of each kind, $runs runs, $anomalies anomalies," \
  "$(($(date +%s) - start)) s"
exit $status
