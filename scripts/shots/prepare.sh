#!/usr/bin/env bash
# The machine a scenario needs beyond a fresh prefix (run by scripts/screenshots.sh inside the
# scenario's prefix, after the installation set is laid out and, for the uninstaller, installed).
#   bash scripts/shots/prepare.sh NAME
set -u
c=$WINEPREFIX/drive_c
case "$1" in
  install-incomplete)
    # A set without the uninstaller: the installation ends incomplete.
    rm -f "$c/SETUP/Uninstall.exe" ;;
  *-warning)
    # More orphaned shared-DLL entries than one run deletes: the line gets the warning picture.
    reg=$PWD/orphans.reg
    {
      echo 'REGEDIT4'
      echo
      echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDLLs]'
      for i in $(seq -w 1001 2001); do echo "\"C:\\\\GONE\\\\LIB$i.DLL\"=dword:00000001"; done
    } >"$reg"
    wine reg import "Z:${reg//\//\\}" /reg:64 >/dev/null 2>&1 ;;
esac
exit 0
