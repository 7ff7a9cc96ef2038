#!/usr/bin/env bash
# Builds the shortcut reader's fuzz target with clang's libFuzzer (address and undefined
# behaviour sanitizers) into build/fuzz and runs it for SECONDS (default 600), seeded with the
# committed test shortcuts. Findings are written to build/fuzz/findings/.
#
#   fuzz/run.sh [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
out=$here/build/fuzz
mkdir -p "$out/corpus" "$out/findings"

clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$here" \
  "$here/fuzz/shell_link_fuzzer.cpp" \
  "$here"/platform/sandbox/shell_link*.cpp \
  "$here/platform/text.cpp" \
  -o "$out/shell_link_fuzzer"

# The working corpus grows between runs; the committed links are always among its seeds.
for seed in "$here"/tests/data/lnk/*/*.lnk; do
  cp "$seed" "$out/corpus/$(basename "$(dirname "$seed")")-$(basename "$seed")"
done

cd "$out/findings"
exec "$out/shell_link_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$out/corpus"
