#!/usr/bin/env bash
# The whole journey on a real (Wine) Windows machine, as a user meets it: in a fresh prefix with
# planted problems, Install.exe (Express) from the installation set, then the installed
# Optimizer.exe (Express, restart cleared), then the uninstall command read back from the record
# the installer wrote, run as the system runs it. After each program the machine is checked:
# files, shortcut, registry; and nothing the Optimizer removed lies outside the planted problems
# (or Wine's own entries that point at files that do not exist).
#   bash tests/e2e/journey.sh [SET [VERSION]]
#     SET: the build whose installation set runs (windows: 64-bit, the default; win32: 32-bit)
#     VERSION: the Windows version the prefix plays (win98: the programs take the Windows 9x path)
# The prefix is a 64-bit one. The registry is read and planted in the view the programs use: the
# 64-bit one, except for 32-bit programs on the Windows 9x path (Windows 9x has one view, and
# Wine gives a 32-bit program the 32-bit view).
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
cd "$(dirname "$0")/../.."
root=$PWD
set_name=${1:-windows}
version=${2:-}
dist=$root/build/$set_name/dist
vm=$root/build/native/bin/vmachine
work=$root/build/$set_name/journey${version:+-$version}
view=/reg:64
[ "$set_name" = win32 ] && [ "$version" = win98 ] && view=/reg:32
wow64=no
[ "$set_name" = win32 ] && [ -z "$version" ] && wow64=yes
[ -f "$dist/Install.exe" ] || { echo "journey: build/$set_name/dist is missing" >&2; exit 2; }
[ -x "$vm" ] || { echo "journey: build/native/bin/vmachine is missing (native build)" >&2; exit 2; }
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine links the prefix's Documents and Desktop to the home folder's: a home of its own keeps the
# run's backups apart from every other run's on this machine.
export HOME=$work/home
mkdir -p "$HOME"
c=$WINEPREFIX/drive_c
failures=0
check() {  # check "what" command...
  local what=$1
  shift
  if "$@"; then echo "  ok: $what"; else echo "  FAILED: $what"; failures=$((failures + 1)); fi
}
absent() { [ ! -e "$1" ]; }
# Whether the Windows path TEXT, or any reading of it cut before a blank, comma or semicolon,
# names something that exists on drive C of the prefix (names compared without case).
exists_any() {
  local text=$1 i
  for ((i = ${#text}; i > 3; i--)); do
    if [ "$i" -lt "${#text}" ]; then
      case "${text:$i:1}" in " " | "," | ";") ;; *) continue ;; esac
    fi
    local rel=${text:3:$((i - 3))}
    local host="$c"
    local part found=yes
    IFS='/' read -ra parts <<<"${rel//\\//}"
    for part in "${parts[@]}"; do
      [ -z "$part" ] && continue
      local next
      next=$(find "$host" -mindepth 1 -maxdepth 1 -iname "$part" 2>/dev/null | head -1)
      [ -n "$next" ] || { found=no; break; }
      host=$next
    done
    [ "$found" = yes ] && return 0
  done
  return 1
}
has_value() {  # has_value KEY NAME TEXT: reg query prints TEXT for the value
  wine reg query "$1" /v "$2" "$view" 2>/dev/null | tr -d '\r' | grep -qF -- "$3"
}
no_value() { ! wine reg query "$1" /v "$2" "$view" >/dev/null 2>&1; }
no_key() { ! wine reg query "$1" "$view" >/dev/null 2>&1; }
# A .reg file merged into the view the programs use.
merge() { wine reg import "$1" "$view" >/dev/null 2>&1; }
# The whole registry as "key :: value line", one line per value, in UTF-8.
snapshot() {
  local hive
  : >"$work/$1.reg.txt"
  for hive in HKLM HKCU; do
    rm -f "$work/$1-$hive.reg"
    wine reg export "$hive" "Z:${work//\//\\}\\$1-$hive.reg" "$view" /y >/dev/null 2>&1
    iconv -f UTF-16LE -t UTF-8 "$work/$1-$hive.reg" >>"$work/$1.reg.txt"
  done
  tr -d '\r' <"$work/$1.reg.txt" | sed 's/^\xef\xbb\xbf//' | awk '
    /\\$/ { sub(/\\$/, ""); pending = pending $0; next }
    { line = pending $0; pending = "" }
    line ~ /^\[/ { key = line; next }
    line ~ /^"|^@/ { print key " :: " line }' |
    # Wine's volatile key: there while Wine's session lives, gone once its server has stopped.
    grep -v '^\[HKEY_CURRENT_USER\\Software\\Wine\\Temporary System Parameters' |
    LC_ALL=C sort >"$work/$1.values"
}

main() {
  echo "== a fresh Wine prefix${version:+ playing $version} for the $set_name set"
  wineboot -i >/dev/null 2>&1
  if [ -n "$version" ]; then
    wine reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1
  fi
  menu=$(find "$c/users" -type d -name Programs -path "*Start Menu*" | head -1)
  [ -n "$menu" ] || { echo "journey: no Start Menu\\Programs folder in the prefix" >&2; exit 2; }

  echo "== planting problems"
  mkdir -p "$c/SETUP" "$c/WRITER" "$menu/Old Game" "$menu/Writer"
  cp "$dist"/* "$c/SETUP/"
  printf 'MZ\r\n' >"$c/WRITER/WRITER.EXE"
  # Shortcut files written by the sandbox's writer (the same bytes the shell's link object reads).
  "$vm" init "$work/scratch" >/dev/null
  "$vm" lnk "$work/scratch" 'C:\MY DOCUMENTS\Old Game.lnk' 'C:\OLDGAME\GAME.EXE' >/dev/null
  "$vm" lnk "$work/scratch" 'C:\MY DOCUMENTS\Writer.lnk' 'C:\WRITER\WRITER.EXE' >/dev/null
  cp "$("$vm" path "$work/scratch" 'C:\MY DOCUMENTS\Old Game.lnk')" "$menu/Old Game/"
  cp "$("$vm" path "$work/scratch" 'C:\MY DOCUMENTS\Writer.lnk')" "$menu/Writer/"
  cat >"$work/planted.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Old Game]
"InstallDir"="C:\\OLDGAME\\GAME.EXE"

[HKEY_LOCAL_MACHINE\Software\Writer]
"Path"="C:\\WRITER\\WRITER.EXE"

[HKEY_CURRENT_USER\Software\Old Paint\Recent]
"Icon"="C:\\OLDPAINT\\PAINT.EXE,0"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDLLs]
"C:\\WINDOWS\\SYSTEM32\\OLDGAME.DLL"=dword:00000001

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\Old Game]
"DisplayName"="Old Game"
"UninstallString"="C:\\WRITER\\WRITER.EXE -f\"C:\\OLDGAME\\DEISL1.ISU\""
REG
  if [ "$wow64" = yes ]; then
    # Values naming a file only the 64-bit System32 holds: a 32-bit program must see it there.
    printf 'MZ\r\n' >"$c/windows/system32/VUONLY64.DLL"
    cat >>"$work/planted.reg" <<'REG'

[HKEY_LOCAL_MACHINE\Software\Only64]
"Path"="C:\\WINDOWS\\SYSTEM32\\VUONLY64.DLL"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDLLs]
"C:\\WINDOWS\\SYSTEM32\\VUONLY64.DLL"=dword:00000001
REG
  fi
  merge "Z:${work//\//\\}\\planted.reg"
  check "planted values are in the registry" has_value 'HKLM\Software\Old Game' InstallDir 'GAME.EXE'

  echo "== Install.exe --express"
  local record='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velloria Optimizer'
  local app="$c/Program Files/Velloria Utilities/Optimizer"
  wine 'C:\SETUP\Install.exe' --express
  check "Optimizer.exe is in the program folder" test -f "$app/Optimizer.exe"
  check "VLUN32.exe is in the Windows folder" test -f "$c/windows/VLUN32.exe"
  check "the menu shortcut is in Programs\\Velloria Utilities" \
    test -n "$(find "$menu/Velloria Utilities" -iname '*.lnk' 2>/dev/null)"
  check "the record names the program folder" \
    has_value "$record" ProgramfilePath 'C:\Program Files\Velloria Utilities\Optimizer'
  check "the record holds the uninstall command" \
    has_value "$record" UninstallString 'VLUN32.exe -Velloria Optimizer'
  check "the record holds the display name" has_value "$record" DisplayName 'Velloria'
  check "the record holds the short name" has_value "$record" ShortName 'Optimizer'
  check "the record holds the long name" has_value "$record" LongName 'Velloria Optimizer'
  check "the record names the menu folder" has_value "$record" StartmenuPath 'Velloria Utilities'
  check "the installation set's program was moved, not copied" absent "$c/SETUP/Optimizer.exe"
  snapshot before

  echo "== Optimizer.exe --express"
  wine 'C:\Program Files\Velloria Utilities\Optimizer\Optimizer.exe' --express
  snapshot after
  check "the broken shortcut is gone with its folder" absent "$menu/Old Game"
  check "the working shortcut stays" test -f "$menu/Writer/Writer.lnk"
  check "the product's own shortcut stays" \
    test -n "$(find "$menu/Velloria Utilities" -iname '*.lnk' 2>/dev/null)"
  check "a value pointing at a deleted program is gone" no_value 'HKLM\Software\Old Game' InstallDir
  check "a value pointing at a program that exists stays" \
    has_value 'HKLM\Software\Writer' Path 'WRITER.EXE'
  check "a user's value pointing at a deleted program is gone" \
    no_value 'HKCU\Software\Old Paint\Recent' Icon
  check "the orphaned shared DLL entry is gone" \
    no_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' 'C:\WINDOWS\SYSTEM32\OLDGAME.DLL'
  check "the stale uninstall entry is gone" \
    no_key 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Old Game'
  check "the product's own record stays" has_value "$record" UninstallString 'VLUN32.exe'
  if [ "$wow64" = yes ]; then
    check "a value naming a file only in the 64-bit System32 stays" \
      has_value 'HKLM\Software\Only64' Path 'VUONLY64.DLL'
    check "a shared DLL entry of a file only in the 64-bit System32 stays" \
      has_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' \
      'C:\WINDOWS\SYSTEM32\VUONLY64.DLL' 0x1
  fi
  value_text() {
    wine reg query "$1" /v "$2" "$view" 2>/dev/null | tr -d '\r' |
      awk -v n="$2" '$1 == n { print $NF }'
  }
  local vxd='HKLM\System\CurrentControlSet\Services\VxD\MSTCP'
  local cdfs='HKLM\System\CurrentControlSet\Control\FileSystem\CDFS'
  if [ "$version" = win98 ]; then
    # Windows 98: every tuning is written where Windows 9x reads it.
    check "TCP/IP: DefaultTTL" has_value "$vxd" DefaultTTL 128
    check "TCP/IP: DefaultRcvWindow" has_value "$vxd" DefaultRcvWindow 0xd160
    check "menu delay" test "$(value_text 'HKCU\Control Panel\Desktop' MenuShowDelay)" = 0
    check "CD cache" has_value "$cdfs" CacheSize 6B020000
    check "system.ini has a vcache section" grep -qi '^MaxFileCache=' "$c/windows/system.ini"
  else
    # An NT-family Windows: the tunings only Windows 9x reads write nothing, and the menu delay
    # goes to the current user.
    check "menu delay is 0 for the current user" \
      test "$(value_text 'HKCU\Control Panel\Desktop' MenuShowDelay)" = 0
    check "no MSTCP values" no_value "$vxd" DefaultMSS
    check "no MSTCP receive window" no_value "$vxd" DefaultRcvWindow
    check "no MaxMTU on a NetTrans binding" \
      no_value 'HKLM\System\CurrentControlSet\Services\Class\NetTrans\0000' MaxMTU
    check "no CD file system cache values" no_value "$cdfs" CacheSize
    check "no CD file system prefetch value" no_value "$cdfs" PrefetchTail
    check "no vcache entries in system.ini" test -z "$(grep -i 'FileCache=' "$c/windows/system.ini")"
    check "no Msdos.sys at the root of C:" test -z "$(find "$c" -maxdepth 1 -iname msdos.sys)"
  fi

  # Nothing else was removed: every value that is gone was planted, or is one of Wine's own
  # values whose text names a file on C: that does not exist. (Changed values are the tweaks
  # and Wine's own counters; they are listed, not judged.)
  names() { sed 's/^\(.* :: \("\([^"\\]\|\\.\)*"\|@\)\)=.*/\1/' "$work/$1.values" | LC_ALL=C sort -u; }
  names before >"$work/before.names"
  names after >"$work/after.names"
  local unexpected=0
  while IFS= read -r name; do
    local line
    line=$(grep -F -m1 -- "$name=" "$work/before.values")
    case "$line" in
      *"Old Game"* | *"Old Paint"* | *OLDGAME.DLL*) continue ;;
    esac
    local data=${line#* :: }
    data=${data#*=\"}
    data=${data%\"}
    data=${data//\\\\/\\}
    if [[ "${data^^}" == C:\\* ]] && ! exists_any "$data"; then
      echo "  (also removed, pointing at a missing file: $line)"
      continue
    fi
    echo "  unexpected removal: $line"
    unexpected=$((unexpected + 1))
  done < <(LC_ALL=C comm -23 "$work/before.names" "$work/after.names")
  LC_ALL=C comm -13 "$work/before.values" "$work/after.values" | sed 's/^/  (written: /; s/$/)/'
  check "nothing outside the planted problems was removed" test "$unexpected" -eq 0

  echo "== putting the run's changes back: regedit /s Registry.reg, then Optimizer.exe --restore"
  local backups backup
  backups=$(find -L "$c/users" -maxdepth 3 -type d -name "Velloria Optimizer Backups" | head -1)
  backup=$(ls -td "$backups"/*/ 2>/dev/null | head -1)
  check "the run saved a backup" test -f "${backup}Registry.reg"
  if [ -f "${backup}Registry.reg" ]; then
    local win="Z:${backup//\//\\}"
    merge "${win}Registry.reg"
    wine 'C:\Program Files\Velloria Utilities\Optimizer\Optimizer.exe' --restore "${win%\\}"
    snapshot restored
    check "the broken shortcut is back" test -f "$menu/Old Game/Old Game.lnk"
    # What Wine itself rewrites whenever it starts: its service counter, network cards, video.
    local wine_own='Control\\ServiceCurrent\]\|\\NetworkCards\\\|Control\\Video\\'
    local differences
    differences=$(LC_ALL=C diff "$work/before.values" "$work/restored.values" |
      grep '^[<>]' | grep -v "$wine_own" || true)
    [ -z "$differences" ] || echo "$differences" | sed 's/^/  differs: /'
    check "the registry is as it was before the run" test -z "$differences"
  fi

  echo "== the uninstall command from the record, as the system runs it"
  local command
  command=$(wine reg query "$record" /v UninstallString "$view" | tr -d '\r' |
    sed -n 's/^ *UninstallString *REG_SZ *//p')
  echo "  $command"
  # --yes answers the confirmation and closes the progress form at its end.
  wine cmd /c "${command/VLUN32.exe /VLUN32.exe --yes }"
  check "the program folder is gone" absent "$app"
  check "the menu group is gone" absent "$menu/Velloria Utilities"
  check "the record is gone" no_key "$record"
  check "the uninstaller stays in the Windows folder" test -f "$c/windows/VLUN32.exe"
  check "the user's other shortcut is untouched" test -f "$menu/Writer/Writer.lnk"
}

main
wineserver -k 2>/dev/null || true
echo "== installing and removing with no window (tests/e2e/unattended.sh)"
bash tests/e2e/unattended.sh "$set_name" "$version" | sed 's/^/  /' || failures=$((failures + 1))
if [ "$failures" -ne 0 ]; then
  echo "journey: $failures check(s) failed"
  exit 1
fi
echo "journey: every check passed"
