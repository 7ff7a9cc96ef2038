#!/usr/bin/env bash
# The product's main job on a demo machine: a sandbox Windows 98 machine with planted problems of
# every kind the Optimizer removes. The product is installed into it with the installer, the
# Optimizer's Express run plays with its transcript, and a summary compares the machine before and
# after. Every figure of the summary is read off the machine, not taken from the programs.
#   bash scripts/demo.sh [--fast]      --fast: the virtual clock (seconds instead of minutes)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
fast=()
for arg in "$@"; do
  case "$arg" in
    --fast) fast=(--fast) ;;
    *) echo "usage: bash scripts/demo.sh [--fast]" >&2; exit 2 ;;
  esac
done

bash scripts/install-deps.sh
echo "== building the native programs"
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" >/dev/null

bin=$root/build/native/bin
vm=$bin/vmachine
demo=$root/build/demo
machine=$demo/machine
rm -rf "$demo"
mkdir -p "$demo"
"$vm" init "$machine" >/dev/null
host() { "$vm" path "$machine" "$1"; }
echo "== planting problems on the demo machine"
bash scripts/plant-problems.sh "$vm" "$machine"

# The machine as it is now, for the summary: files, registry, settings files.
snapshot() {
  (cd "$machine/drives" && find . -mindepth 1 | sed 's|^\./\(.\)|\1:|; s|/|\\|g' | LC_ALL=C sort) >"$demo/$1.files"
  "$vm" reg export "$machine" | awk '
    { sub(/\r$/, "") }
    /^\[/ { key = substr($0, 2, length($0) - 2); print "key " key; next }
    /^"|^@/ { print "value " key " :: " $0 }' | LC_ALL=C sort >"$demo/$1.registry"
}
snapshot before

if [ -x "$bin/install" ]; then
  echo "== installing the product with the installer (Express)"
  "$vm" setup "$machine" >/dev/null
  "$bin/install" --machine "$machine" --app-path 'C:\SETUP' --express "${fast[@]}"
  snapshot installed
else
  echo "== the installer is not built yet: the Optimizer runs from its default folder"
  cp "$demo/before.files" "$demo/installed.files"
  cp "$demo/before.registry" "$demo/installed.registry"
fi

echo "== the Optimizer's Express run${fast:+ (virtual clock)}"
"$bin/optimizer" --machine "$machine" --express --transcript "${fast[@]}"
snapshot after

gone() { LC_ALL=C comm -23 "$demo/$1" "$demo/$2"; }
new() { LC_ALL=C comm -13 "$demo/$1" "$demo/$2"; }
count() { grep -c . || true; }

echo
echo "== what the installer placed (read off the machine)"
new before.files installed.files | sed 's|^|  |'
new before.registry installed.registry | grep '^value ' | sed 's/^value /  /' || true
echo
echo "== what the Optimizer changed on the machine (read off the machine)"
echo "Files and folders removed:"
gone installed.files after.files | sed 's|^|  |'
echo "Files and folders added (the run's backup of what it changed):"
new installed.files after.files | sed 's|^|  |'
echo "Registry keys removed:"
gone installed.registry after.registry | grep '^key ' | sed 's/^key /  /' || true
echo "Registry values removed or changed (old data):"
gone installed.registry after.registry | grep '^value ' | sed 's/^value /  /' || true
echo "Registry values written (new data):"
new installed.registry after.registry | grep '^value ' | sed 's/^value /  /' || true
echo "system.ini [vcache]:"
tr -d '\r' <"$(host 'C:\WINDOWS\SYSTEM.INI')" |
  awk '/^\[/ { on = tolower($0) == "[vcache]"; next } on && NF { print "  " $0 }'
echo "Msdos.sys BootMenuDelay: $(grep -i '^BootMenuDelay' "$(host 'C:\MSDOS.SYS')" | tr -d '\r' || echo none)" \
  "(attributes $("$vm" attrib "$machine" 'C:\MSDOS.SYS' | cut -d' ' -f1))"
echo "Live items written with short names, and the emptied Startup folder (must all be kept):"
kept() { if "$@"; then echo kept; else echo REMOVED; fi; }
has_value() { [ "$("$vm" reg get "$machine" "$1" "$2")" != "(Not found)" ]; }
has_key() { "$vm" reg export "$machine" "$1" >/dev/null 2>&1; }
cv='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion'
echo "  value ShortPath = C:\PROGRA~1\WRITER\WRITER.EXE: $(kept has_value 'HKEY_LOCAL_MACHINE\Software\Writer' ShortPath)"
echo "  shared DLL C:\PROGRA~1\WRITER\WRITER.DLL: $(kept has_value "$cv\SharedDLLs" 'C:\PROGRA~1\WRITER\WRITER.DLL')"
echo "  uninstall entry Writer Tools (C:\PROGRA~1\WRITER\WRITER.EXE /uninstall): $(kept has_key "$cv\Uninstall\Writer Tools")"
echo "  shortcut Writer Short.lnk -> C:\PROGRA~1\WRITER\WRITER.EXE: $(kept test -e "$(host 'C:\WINDOWS\DESKTOP\Writer Short.lnk')")"
echo "  folder C:\WINDOWS\START MENU\PROGRAMS\STARTUP (its only shortcut was broken): $(kept test -d "$(host 'C:\WINDOWS\START MENU\PROGRAMS\STARTUP')")," \
  "its broken Old Tray.lnk: $(if test -e "$(host 'C:\WINDOWS\START MENU\PROGRAMS\STARTUP\Old Tray.lnk')"; then echo "still there"; else echo removed; fi)"
echo "Restart requested: $(grep -ci restart "$machine/journal.log" || true) time(s) (the run clears \"Restart computer\")"
echo
echo "In figures: $(gone installed.files after.files | count) files and folders removed," \
  "$(gone installed.registry after.registry | grep -c '^key ' || true) registry keys removed," \
  "$(gone installed.registry after.registry | grep '^value ' | count) values removed or changed," \
  "$(new installed.registry after.registry | grep '^value ' | count) values written."
echo "The demo machine stays in build/demo/machine (inspect it with build/native/bin/vmachine)."
