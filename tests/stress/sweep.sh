#!/usr/bin/env bash
# The long fault sweep: every call of every kind of machine operation that a clean Express run
# over the planted machine makes is failed in turn (about 1,550 runs; 20 to 35 minutes on two
# cores). Build first: cmake --build --preset native --target fault_tests optimizer vmachine
set -euo pipefail
cd "$(dirname "$0")/../.."
exec bash tests/fault/sweep.sh all "$@"
