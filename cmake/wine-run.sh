#!/usr/bin/env bash
# Runs a Windows program of the build under Wine in the build tree's own prefix, quietly, on a
# virtual X server when there is no display. Used by CTest for the Windows build
# (CMAKE_CROSSCOMPILING_EMULATOR) and by the scripts.
#
# Safe to run many times at once on one prefix: the prefix is made once under a lock, and all
# runs without a display share one X server (Wine's desktop process outlives a single program,
# so the server must too); the last run to finish stops it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-${VU_WINE_DEFAULT_PREFIX:-$here/build/windows/wineprefix}}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$WINEPREFIX"

x_lock=$WINEPREFIX/.vu-x.lock     # held while the shared server is started or stopped
x_users=$WINEPREFIX/.vu-x.users   # every run using the server holds a shared lock on it
x_record=$WINEPREFIX/.vu-x        # "<display number> <pid>" of the shared server

start_x() {
  exec 8>"$x_lock"
  flock 8
  local display="" pid=""
  if [ -f "$x_record" ]; then read -r display pid <"$x_record" || true; fi
  if [ -z "$pid" ] || ! kill -0 "$pid" 2>/dev/null || [ ! -e "/tmp/.X11-unix/X$display" ]; then
    display=500
    while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
      display=$((display + 1))
    done
    setsid Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 200); do
      [ -e "/tmp/.X11-unix/X$display" ] && break
      kill -0 "$pid" 2>/dev/null || { echo "wine-run.sh: Xvfb :$display did not start" >&2; exit 1; }
      sleep 0.05
    done
    echo "$display $pid" >"$x_record"
  fi
  exec 7>"$x_users"
  flock -s 7
  flock -u 8
  exec 8>&-
  export DISPLAY=":$display"
  trap stop_x EXIT
}

stop_x() {
  flock -u 7
  exec 7>&-
  exec 8>"$x_lock"
  flock 8
  exec 7>"$x_users"
  if flock -n -x 7; then
    # The last user: let Wine's own processes end before their display goes away.
    wineserver -w || true
    local display="" pid=""
    if [ -f "$x_record" ]; then read -r display pid <"$x_record" || true; fi
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    rm -f "$x_record"
  fi
  exec 7>&-
  flock -u 8
  exec 8>&-
}

if [ -z "${DISPLAY:-}" ]; then start_x; fi

# The first run of a prefix sets it up (several seconds); the others wait for it to finish.
if [ ! -e "$WINEPREFIX/.vu-ready" ]; then
  exec 9>"$WINEPREFIX/.vu-init.lock"
  flock 9
  if [ ! -e "$WINEPREFIX/.vu-ready" ]; then
    wineboot -i </dev/null >/dev/null 2>&1 || true
    # A prefix that plays an older Windows (VU_WINE_VERSION=win98: the Windows 9x path).
    if [ -n "${VU_WINE_VERSION:-}" ]; then
      wine reg add 'HKCU\Software\Wine' /v Version /d "$VU_WINE_VERSION" /f </dev/null >/dev/null 2>&1
    fi
    wineserver -w
    [ -e "$WINEPREFIX/system.reg" ] || { echo "wine-run.sh: no prefix at $WINEPREFIX" >&2; exit 1; }
    touch "$WINEPREFIX/.vu-ready"
  fi
  flock -u 9
  exec 9>&-
fi

# Not exec: the shared X server is looked after when the program ends. The program gets no lock
# descriptors (Wine's server would keep them alive).
status=0
wine "$@" 7>&- || status=$?
exit "$status"
