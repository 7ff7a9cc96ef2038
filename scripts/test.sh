#!/usr/bin/env bash
# Runs every test of the project: the native build (sandbox machine, AddressSanitizer and
# UndefinedBehaviorSanitizer), then the Windows builds (64-bit and 32-bit) and their tests under
# Wine, then the whole journey for each set.
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

echo "== 32-bit build (the set for Windows 98 to 11), its import check and tests under Wine"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"
win32_runs=yes
dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed' || win32_runs=no
if [ "$win32_runs" = no ]; then
  echo "32-bit runs skipped: no wine32 here (32-bit x86 code runs only on an amd64 system)"
  ctest --preset win32 -R importcheck
else
  ctest --preset win32
fi

echo "== the whole journey under Wine: install, optimize, uninstall"
bash tests/e2e/journey.sh
if [ "$win32_runs" = yes ]; then
  echo "== the 32-bit set's journey in a prefix playing Windows 98 (the Windows 9x path)"
  bash tests/e2e/journey.sh win32 win98
  echo "== the 32-bit set's journey in a 64-bit prefix (a 32-bit program on 64-bit Windows)"
  bash tests/e2e/journey.sh win32
else
  echo "32-bit journeys skipped: no wine32 here (32-bit x86 code runs only on an amd64 system)"
fi

echo "== the same by mouse and keyboard, at 96 and 120 pixels per inch"
bash tests/e2e/real_input.sh

[ "$fault_status" -eq 0 ] || { echo "the fault sweep or the crash test found anomalies (above)"; exit 1; }
