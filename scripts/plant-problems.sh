#!/usr/bin/env bash
# Plants problems of every kind the Optimizer removes on a sandbox machine, next to live programs,
# shortcuts and records of the same kinds that must stay: the machine of the demo and of the crash
# test (tests/fault/crash.sh).
#   bash scripts/plant-problems.sh VMACHINE MACHINE
set -euo pipefail
vm=$1
machine=$2
reg=$(mktemp "${TMPDIR:-/tmp}/vu-planted-XXXXXX.reg")
trap 'rm -f "$reg"' EXIT

# A file with some content at a Windows path of the machine.
plant_file() {
  local path
  path=$("$vm" path "$machine" "$1")
  mkdir -p "$(dirname "$path")"
  printf '%s\r\n' "${2:-MZ stand-in}" >"$path"
}
# A shortcut at a Windows path of the machine, its folder made first.
plant_link() {
  mkdir -p "$(dirname "$("$vm" path "$machine" "$1")")"
  "$vm" lnk "$machine" "$1" "$2" >/dev/null
}

# Programs that are still there, and shortcuts to them that must stay.
plant_file 'C:\WINDOWS\NOTEPAD.EXE'
plant_file 'C:\PROGRAM FILES\WRITER\WRITER.EXE'
plant_file 'C:\WINDOWS\SYSTEM\MSVCRT.DLL'
plant_file 'C:\WINDOWS\UNINST.EXE'
plant_link 'C:\WINDOWS\START MENU\PROGRAMS\Accessories\Notepad.lnk' 'C:\WINDOWS\NOTEPAD.EXE'
plant_link 'C:\WINDOWS\DESKTOP\Writer.lnk' 'C:\PROGRAM FILES\WRITER\WRITER.EXE'
# Shortcuts whose programs were deleted: one in its own menu group, one on the desktop.
plant_link 'C:\WINDOWS\START MENU\PROGRAMS\Old Game\Old Game.lnk' 'C:\PROGRAM FILES\OLD GAME\GAME.EXE'
plant_link 'C:\WINDOWS\DESKTOP\Old Paint.lnk' 'C:\OLDPAINT\PAINT.EXE'
# The Startup folder holding only a shortcut to a program that is gone: the shortcut goes, the
# folder Windows needs stays.
plant_link 'C:\WINDOWS\START MENU\PROGRAMS\STARTUP\Old Tray.lnk' 'C:\OLDTRAY\TRAY.EXE'
# Live programs written with their short (8.3) names, as Windows 9x records them everywhere.
plant_file 'C:\PROGRAM FILES\WRITER\WRITER.DLL'
plant_link 'C:\WINDOWS\DESKTOP\Writer Short.lnk' 'C:\PROGRA~1\WRITER\WRITER.EXE'
cat >"$reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Old Game]
"InstallDir"="C:\\PROGRAM FILES\\OLD GAME\\GAME.EXE"
"Version"="1.2"

[HKEY_LOCAL_MACHINE\Software\Writer]
"Path"="C:\\PROGRAM FILES\\WRITER\\WRITER.EXE"
"ShortPath"="C:\\PROGRA~1\\WRITER\\WRITER.EXE"

[HKEY_USERS\.DEFAULT\Software\Old Paint\Recent]
"File1"="C:\\OLDPAINT\\SAMPLES\\SUNSET.BMP"
"Icon"="C:\\OLDPAINT\\PAINT.EXE,0"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDLLs]
"C:\\WINDOWS\\SYSTEM\\MSVCRT.DLL"=dword:00000003
"C:\\PROGRA~1\\WRITER\\WRITER.DLL"=dword:00000001
"C:\\WINDOWS\\SYSTEM\\OLDGAME.DLL"=dword:00000001
"D:\\TOOLS\\NETWORK.DLL"=dword:00000001

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\Old Game]
"DisplayName"="Old Game"
"UninstallString"="C:\\WINDOWS\\UNINST.EXE -f\"C:\\PROGRAM FILES\\OLD GAME\\DEISL1.ISU\""

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\Writer]
"DisplayName"="Writer"
"UninstallString"="C:\\WINDOWS\\UNINST.EXE -f\"C:\\PROGRAM FILES\\WRITER\\DEISL1.ISU\""

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\Writer Tools]
"DisplayName"="Writer Tools"
"UninstallString"="C:\\PROGRA~1\\WRITER\\WRITER.EXE /uninstall"

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\NetTrans\0001]
"DriverDesc"="NetBEUI"

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\NetTrans\0002]
"DriverDesc"="TCP/IP"
REG
plant_file 'C:\PROGRAM FILES\WRITER\DEISL1.ISU'
"$vm" reg import "$machine" "$reg"
