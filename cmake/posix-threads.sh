#!/bin/sh
# Compiler launcher of the 32-bit build's test programs: runs the posix thread model's driver in
# place of the win32 one (GoogleTest needs std::mutex; the test programs only ever run under
# Wine, never on Windows 9x). Any launcher given after it (ccache) runs the changed command.
# Usage: posix-threads.sh [launcher...] <compiler> <arguments...>
set -eu
for arg in "$@"; do
  shift
  case "$arg" in
    *mingw32-g*-win32) set -- "$@" "${arg%-win32}-posix" ;;
    *) set -- "$@" "$arg" ;;
  esac
done
exec "$@"
