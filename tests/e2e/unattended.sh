#!/usr/bin/env bash
# Install and uninstall with no window on a real (Wine) Windows machine, as a deployment tool
# runs them: Install.exe /S /D=<folder with a blank>, then the record's QuietUninstallString run
# by the command interpreter; again, removed this time by the list of installed programs (Wine's
# uninstaller --remove) with its dialogs answered by keys. After each removal the prefix's files
# must be those before, but for the uninstaller the Windows folder keeps. Then Optimizer.exe /S
# with its log, and the quiet uninstall of a running Optimizer.exe, which Windows is asked to
# delete when it restarts (MoveFileEx on NT, WININIT.INI on Windows 9x).
#   bash tests/e2e/unattended.sh [SET [VERSION]]
#     SET: the build whose installation set runs (windows, the default, or win32)
#     VERSION: the Windows version the prefix plays (win98: the Windows 9x path)
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
cd "$(dirname "$0")/../.."
set_name=${1:-windows}
version=${2:-}
dist=$PWD/build/$set_name/dist
work=$PWD/build/$set_name/unattended${version:+-$version}
[ -f "$dist/Install.exe" ] || { echo "unattended: build/$set_name/dist is missing" >&2; exit 2; }
# The registry view the programs write: the 64-bit one, but for Windows 9x, which has one view
# (Wine gives a 32-bit program the 32-bit view).
view=/reg:64
[ "$version" = win98 ] && view=/reg:32
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
c=$WINEPREFIX/drive_c
failures=0
check() {  # check "what" command...
  local what=$1
  shift
  if "$@"; then echo "  ok: $what"; else echo "  FAILED: $what"; failures=$((failures + 1)); fi
}
status_of() { # status_of COMMAND...: the exit status, whatever it is
  local code=0
  "$@" >/dev/null 2>&1 || code=$?
  echo "$code"
}
# Every file and folder on drive C but Wine's own churn and the installation set.
listing() {
  (cd "$c" && find . -path ./SETUP -prune -o -path ./windows/temp -prune -o -path './users/*/Temp' \
    -prune -o -path './users/*/AppData/Local/Temp' -prune -o -name '*.log' -prune -o -print) |
    grep -v '^\./windows/VLUN32.exe$' | LC_ALL=C sort
}

echo "== a fresh Wine prefix${version:+ playing $version} for the $set_name set"
wineboot -i >/dev/null 2>&1
if [ -n "$version" ]; then
  wine reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1
  wineserver -w
fi
mkdir -p "$c/SETUP"
cp "$dist"/* "$c/SETUP/"
wineserver -w
listing >"$work/before.txt"

echo "== Install.exe /S /D=C:\\Apps\\Velloria Optimizer"
check "a switch it does not know is a bad command line (2)" \
  test "$(status_of wine 'C:\SETUP\Install.exe' /S /X)" = 2
check "the installation reports success (0)" \
  test "$(status_of wine 'C:\SETUP\Install.exe' /S '/D=C:\Apps\Velloria Optimizer')" = 0
check "the program is in the chosen folder" test -f "$c/Apps/Velloria Optimizer/Optimizer.exe"

echo "== the quiet uninstall command, by the command interpreter"
command='C:\windows\VLUN32.exe /S -Velloria Optimizer'
recorded=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velloria Optimizer' \
  /v QuietUninstallString "$view" 2>/dev/null | tr -d '\r' | sed -n 's/^ *QuietUninstallString *REG_SZ *//p' || true)
check "the record holds the quiet command" test "$recorded" = "$command"
check "the removal reports success (0)" test "$(status_of wine cmd /c "$command")" = 0
check "an unknown product is status 2" \
  test "$(status_of wine 'C:\windows\VLUN32.exe' /S -Nothing)" = 2
wineserver -w
listing >"$work/after.txt"
differences=$(LC_ALL=C diff "$work/before.txt" "$work/after.txt" || true)
[ -z "$differences" ] || echo "$differences" | sed 's/^/  differs: /'
check "the prefix holds the files it held before" test -z "$differences"

echo "== Install.exe /S again, then the removal as the list of installed programs starts it"
cp "$dist"/* "$c/SETUP/"
check "the installation reports success (0)" \
  test "$(status_of wine 'C:\SETUP\Install.exe' /S '/D=C:\Apps\Velloria Optimizer')" = 0
check "the program is there to remove" test -f "$c/Apps/Velloria Optimizer/Optimizer.exe"
# The dialogs are answered as a person does, by keys to the windows the layouts describe.
shots=$work/shots
export VU_LAYOUT_DIR=$work/layout
mkdir -p "$shots" "$VU_LAYOUT_DIR"
# shellcheck source=tests/e2e/real_input_lib.sh
source tests/e2e/real_input_lib.sh
VU_LAYOUT_DIR="Z:${VU_LAYOUT_DIR//\//\\}" wine uninstaller --remove 'Velloria Optimizer' \
  >/dev/null 2>&1 &
remover=$!
wait_window "Velloria UnInstaller" 60 >/dev/null
press "Velloria UnInstaller" alt+y
wait_window "Uninstalling Velloria Optimizer" >/dev/null
wait_for "Close is enabled at the end" 120 layout_has frmStart Command1 enabled 1
press "Uninstalling Velloria Optimizer" Return
wait_gone "Uninstalling Velloria Optimizer"
wait "$remover" || true
unset VU_LAYOUT_DIR
wineserver -w
listing >"$work/after-remove.txt"
differences=$(LC_ALL=C diff "$work/before.txt" "$work/after-remove.txt" || true)
[ -z "$differences" ] || echo "$differences" | sed 's/^/  differs: /'
check "the prefix holds the files it held before" test -z "$differences"

echo "== Optimizer.exe /S, and the uninstaller beside a running Optimizer.exe"
cp "$dist"/* "$c/SETUP/"
check "the second installation reports success (0)" \
  test "$(status_of wine 'C:\SETUP\Install.exe' /S '/LOG=C:\install.log' '/D=C:\Apps\Velloria Optimizer')" = 0
check "its log says so" grep -q 'exit status 0' "$c/install.log"
program='C:\Apps\Velloria Optimizer\Optimizer.exe'
check "Express with no window reports success (0)" \
  test "$(status_of wine "$program" /S '/LOG=C:\express.log')" = 0
check "its log holds each step's line and outcome" grep -q '^Broken links fixed: done' "$c/express.log"
check "its log names the backup folder" grep -q '^A backup of all changes was saved in ' "$c/express.log"
check "a bad switch beside /S is status 2" test "$(status_of wine "$program" /S /X)" = 2
wine "$program" >/dev/null 2>&1 &
running=$!
# The wizard's window shows once the program runs.
for _ in $(seq 1 60); do
  [ -n "$(xdotool search --onlyvisible --name '^Welcome$' 2>/dev/null || true)" ] && break
  sleep 0.5
done
# Windows 9x deletes only files at its start: the emptied folders stay, and are named.
expected=0
[ "$version" = win98 ] && expected=1
check "the removal of a running program reports $expected" \
  test "$(status_of wine 'C:\windows\VLUN32.exe' /S '/LOG=C:\uninstall.log' -Velloria Optimizer)" = "$expected"
check "its log says the program goes when Windows restarts" \
  grep -q 'removed when Windows restarts' "$c/uninstall.log"
check "its log names the program" grep -qF "$program" "$c/uninstall.log"
if [ "$version" = win98 ]; then
  # An 8.3 path, however this system makes its aliases.
  wininit=$(find "$c/windows" -maxdepth 1 -iname wininit.ini | head -1)
  check "its log names the folder that stays" grep -qxF '  C:\Apps\Velloria Optimizer' "$c/uninstall.log"
  check "WININIT.INI deletes it at the restart" \
    grep -qiE '^NUL=C:\\APPS\\[^\\ ]{1,8}\\[^\\ ]{1,8}\.EXE' "${wininit:-/dev/null}"
else
  pending=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
    /v PendingFileRenameOperations 2>/dev/null | tr -d '\r' || true)
  check "Windows is asked to delete it at the restart" grep -qi 'Optimizer.exe' <<<"$pending"
fi
record_absent() {
  ! wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velloria Optimizer' \
    "$view" >/dev/null 2>&1
}
check "the record is gone" record_absent
kill "$running" 2>/dev/null || true

echo "== what is not the product's, or no longer as it was placed, stays"
record='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velloria Optimizer'
forge() { wine reg add "$record" /v "$1" /d "$2" /f "$view" >/dev/null 2>&1; }
forge ShortName notepad
forge LongName 'Velloria Optimizer'
forge ProgramfilePath 'C:\windows'
forge StartmenuPath 'C:\windows'
check "a record naming the Windows folder's notepad is refused in part (1)" \
  test "$(status_of wine 'C:\windows\VLUN32.exe' /S '/LOG=C:\forged.log' -Velloria Optimizer)" = 1
check "notepad.exe stays" test -n "$(find "$c/windows" -maxdepth 1 -iname notepad.exe)"
check "the log names it" grep -qiF 'C:\windows\notepad.exe' "$c/forged.log"
cp "$dist"/* "$c/SETUP/"
check "an installation into another folder reports success (0)" \
  test "$(status_of wine 'C:\SETUP\Install.exe' /S '/D=C:\Apps\Edited')" = 0
printf 'a note of the user\r\n' >>"$c/Apps/Edited/Optimizer.hlp"
check "a product file edited since makes the removal incomplete (1)" \
  test "$(status_of wine 'C:\windows\VLUN32.exe' /S '/LOG=C:\edited.log' -Velloria Optimizer)" = 1
check "the edited file stays" test -f "$c/Apps/Edited/Optimizer.hlp"
check "the log names it" grep -qF 'C:\Apps\Edited\Optimizer.hlp' "$c/edited.log"
check "the files it did not change are gone" test ! -e "$c/Apps/Edited/Optimizer.exe"
cp "$dist"/* "$c/SETUP/"
check "an installation into the shared Documents folder reports success (0)" \
  test "$(status_of wine 'C:\SETUP\Install.exe' /S '/D=C:\users\Public\Documents')" = 0
check "its removal reports success (0)" \
  test "$(status_of wine 'C:\windows\VLUN32.exe' /S -Velloria Optimizer)" = 0
check "the program went" test ! -e "$c/users/Public/Documents/Optimizer.exe"
check "the shared Documents folder stays, empty as it was" test -d "$c/users/Public/Documents"
cp "$dist"/* "$c/SETUP/"
check "an installation into a third folder reports success (0)" \
  test "$(status_of wine 'C:\SETUP\Install.exe' /S '/D=C:\Apps\Busy')" = 0
wine 'C:\Apps\Busy\Optimizer.exe' >/dev/null 2>&1 &
busy=$!
for _ in $(seq 1 60); do
  pgrep -f 'Apps.Busy.Optimizer\.exe' >/dev/null && break
  sleep 0.5
done
sleep 2
cp "$dist"/* "$c/SETUP/"
check "installing over the running copy is incomplete (1)" \
  test "$(status_of wine 'C:\SETUP\Install.exe' /S '/LOG=C:\busy.log' '/D=C:\Apps\Busy')" = 1
check "the source of the program it could not replace stays" test -f "$c/SETUP/Optimizer.exe"
kill "$busy" 2>/dev/null || true

wineserver -k 2>/dev/null || true
if [ "$failures" -ne 0 ]; then
  echo "unattended: $failures check(s) failed"
  exit 1
fi
echo "unattended: every check passed"
