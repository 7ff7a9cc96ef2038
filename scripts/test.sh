#!/usr/bin/env bash
# Runs every test of the project: the native build (sandbox machine, AddressSanitizer and
# UndefinedBehaviorSanitizer), then the Windows build and its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}

bash scripts/install-deps.sh

echo "== native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
ctest --preset native -j"$jobs"

echo "== fault sweep and crash test (a run under failing calls and kill -9, then its restore)"
fault_status=0
bash tests/fault/sweep.sh || fault_status=1
bash tests/fault/crash.sh 10 || fault_status=1

echo "== Windows build and tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
ctest --preset windows

echo "== the whole journey under Wine: install, optimize, uninstall"
bash tests/e2e/journey.sh

echo "== the same by mouse and keyboard, at 96 and 120 pixels per inch"
bash tests/e2e/real_input.sh

[ "$fault_status" -eq 0 ] || { echo "the fault sweep or the crash test found anomalies (above)"; exit 1; }
