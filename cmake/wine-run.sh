#!/usr/bin/env bash
# Runs a Windows program of the build under Wine in the build tree's own prefix, quietly, on a
# virtual X server when there is no display. Used by CTest for the Windows build
# (CMAKE_CROSSCOMPILING_EMULATOR) and by the scripts.
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$WINEPREFIX"
exec wine "$@"
