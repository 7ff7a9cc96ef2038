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

echo "== Windows build and tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
ctest --preset windows

echo "== the whole journey under Wine: install, optimize, uninstall"
bash tests/e2e/journey.sh

echo "== the same by mouse and keyboard, at 96 and 120 pixels per inch"
bash tests/e2e/real_input.sh
