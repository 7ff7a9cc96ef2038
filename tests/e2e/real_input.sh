#!/usr/bin/env bash
# The journey a person makes with a mouse and a keyboard, on the Windows build under Wine: no
# automation script, no --express, no --yes. xdotool clicks the controls where the forms' layouts
# put them and presses Tab, Shift+Tab, Space, Enter, Escape, Alt+F4 and access keys.
#
#   Install, Custom: "Use Menu icon" cleared and set again, the folder changed through the folder
#     browser, "Run Optimizer after exit" left ticked so that Finish starts the Optimizer;
#   that Optimizer, Custom: all ten pages, two of them back and forth, two boxes cleared by mouse
#     and one by Space, the run, "Restart computer" cleared, Close;
#   a second Optimizer: Alt+F4 on a selection page, Resume, then Close and Exit;
#   then the Optimizer part again at 120 pixels per inch;
#   the uninstaller as the list of installed programs starts it, answered with Alt+Y and Enter.
# The machine is checked after each program.
#
#   bash tests/e2e/real_input.sh                      (after both builds; on its own Xvfb)
#   REAL_INPUT_DISPLAY=:0 bash tests/e2e/real_input.sh  (to watch it on a visible X display)
set -euo pipefail
if [ -n "${REAL_INPUT_DISPLAY:-}" ]; then
  export DISPLAY=$REAL_INPUT_DISPLAY
elif [ -z "${REAL_INPUT_XVFB:-}" ]; then
  REAL_INPUT_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
cd "$(dirname "$0")/../.."
root=$PWD
dist=$root/build/windows/dist
work=$root/build/windows/real-input
vm=$root/build/native/bin/vmachine
[ -f "$dist/Install.exe" ] || { echo "real-input: build/windows/dist is missing" >&2; exit 2; }
[ -x "$vm" ] || { echo "real-input: build/native/bin/vmachine is missing (native build)" >&2; exit 2; }
rm -rf "$work"
shots=$work/failures
# The programs write their forms' layouts here (as Z:\...); the script reads them.
VU_LAYOUT_DIR=$work/layout
mkdir -p "$work" "$shots" "$VU_LAYOUT_DIR"
# A home of its own: Wine links the user's folders (Desktop, My Documents) to the home's.
export HOME=$work/home
mkdir -p "$HOME"
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
c=$WINEPREFIX/drive_c
# shellcheck source=tests/e2e/real_input_lib.sh
source "$root/tests/e2e/real_input_lib.sh"
started=$SECONDS

check() {  # check "what" command...: a failed check ends the journey at once, with a picture
  local what=$1
  shift
  if "$@"; then echo "  ok: $what"; else fail "check failed: $what"; fi
}
absent() { [ ! -e "$1" ]; }
# The programs are 64-bit: their registry is the 64-bit view.
has_value() { wine reg query "$1" /v "$2" /reg:64 2>/dev/null | tr -d '\r' | grep -qF -- "$3"; }
no_value() { ! wine reg query "$1" /v "$2" /reg:64 >/dev/null 2>&1; }
no_key() { ! wine reg query "$1" /reg:64 >/dev/null 2>&1; }
running() { pgrep -f "$1" >/dev/null; }
stopped() { ! running "$1"; }
# Starts a Windows program in the background, the layouts going where the script reads them.
launch() {
  VU_LAYOUT_DIR="Z:${VU_LAYOUT_DIR//\//\\}" wine "$@" >>"$work/wine.log" 2>&1 &
}

record='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velloria Optimizer'
app_win='C:\Tools\Velloria'
app=$c/Tools/Velloria
# The installed Optimizer's processes, told from any other Wine's by their path.
optimizer='Tools.Velloria.Optimizer\.exe'
shared='HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs'
orphan='C:\WINDOWS\SYSTEM32\OLDGAME.DLL'
stale='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Old Game'
desktop='HKCU\Control Panel\desktop'

# What a run can find: a broken shortcut, a registry mistake, an orphaned shared DLL, a stale
# uninstall entry; and a Start menu delay of its own.
plant() {
  at "planting problems"
  mkdir -p "$menu/Old Game"
  cp "$work/Old Game.lnk" "$menu/Old Game/"
  reg_add 'HKLM\Software\Old Game' InstallDir REG_SZ 'C:\OLDGAME\GAME.EXE'
  reg_add "$shared" "$orphan" REG_DWORD 1
  reg_add "$stale" DisplayName REG_SZ 'Old Game'
  reg_add "$stale" UninstallString REG_SZ 'C:\OLDGAME\UNINST.EXE'
  reg_add "$desktop" MenuShowDelay REG_SZ 400
}
reg_add() { wine reg add "$1" /v "$2" /t "$3" /d "$4" /f /reg:64 >/dev/null 2>&1; }

install_custom() {
  at "Install: the welcome page"
  mkdir -p "$c/SETUP" "$app" "$c/Tools/Other"
  cp "$dist"/* "$c/SETUP/"
  launch 'C:\SETUP\Install.exe'
  wait_window "Welcome" 60 >/dev/null
  click "Welcome" frmMain Command2 # I Agree

  at "Install: Custom on the method page"
  wait_window "Installation Method" >/dev/null
  click "Installation Method" frmMain Option2 box
  press "Installation Method" Return # the option gave Next the focus

  at "Install: the directory page, through the folder browser"
  wait_window "Destination Directory" >/dev/null
  # Browse by mouse: its access key is Back's too ("&Browse...", "&Back"), and Alt+B goes Back.
  click "Destination Directory" frmMain Command4
  wait_window "Browse for Folder" >/dev/null
  # From the desktop down to C:\Tools\Velloria with the tree view's own keys: Shift+Tab from
  # OK into the tree; the start of a name selects the next item so named, Right opens an item
  # or, when it is open, goes to its first child (here the drive C:).
  press "Browse for Folder" shift+Tab
  tree_search "my"
  press "Browse for Folder" Right Right Right
  tree_search "tools"
  press "Browse for Folder" Right
  tree_search "vel"
  press "Browse for Folder" Return
  wait_gone "Browse for Folder"
  click "Destination Directory" frmMain Command2 # Next

  at "Install: the menu page, Use Menu icon cleared and set again"
  wait_window "Program menu icons" >/dev/null
  click "Program menu icons" frmMain Check1 box
  check "clearing Use Menu icon disables Browse" layout_has frmMain Command5 enabled 0
  click "Program menu icons" frmMain Check1 box
  check "setting it again enables Browse" layout_has frmMain Command5 enabled 1
  press "Program menu icons" Return # Check1 gave Next the focus

  at "Install: installing"
  wait_window "Complete" 120 >/dev/null
  at "Install: Finish, Run Optimizer after exit left ticked"
  press "Complete" alt+f
  wait_window "Welcome" 60 >/dev/null # the installed Optimizer's welcome page
  check "Optimizer.exe is in the folder picked in the browser" test -f "$app/Optimizer.exe"
  check "the record names that folder" has_value "$record" ProgramfilePath "$app_win"
  check "the record names the menu folder" has_value "$record" StartmenuPath 'Velloria Utilities'
  check "the menu shortcut was made" \
    test -n "$(find "$menu/Velloria Utilities" -iname '*.lnk' 2>/dev/null)"
  check "the installation set's program was moved" absent "$c/SETUP/Optimizer.exe"
}

# tree_search PREFIX: typed as one search in the folder browser's tree view.
tree_search() {
  xdotool type --delay 80 "$1"
  sleep 1.2 # the tree view's search ends after a pause
}

# The ten selection pages' titles, in the order Next walks them.
pages=("Broken Links" "Registry Mistakes" "Virtual Cache" "Windows StartMenu"
  "DOS Boot Sequence" "Uninstall Information" "File System" "Internet Connection"
  "Windows Startup" "Orphaned DLLs")

# on_page K: the selection panel shows page K (1-based) and its box is ticked (1) or clear (0).
on_page() {
  local k=$1 box=${2:-}
  wait_for "page $k (${pages[$((k - 1))]}) in front" 20 \
    layout_caption frmMain titleLabel "${pages[$((k - 1))]}"
  [ -z "$box" ] || check "page $k shows its box as $box" layout_has frmMain checkLabel value "$box"
}

layout_caption() {
  awk -v c="$2" -v want="\"$3\"" '$1 == "control" && $2 == c {
      line = $0; for (i = 0; i < 10; i++) sub(/^[^ ]+ /, "", line); found = (line == want) }
    END { exit !found }' "$VU_LAYOUT_DIR/$1.txt"
}

# The Optimizer with a mouse and keys, at the screen's current pixels per inch: Custom, every
# page, Registry Mistakes and Uninstall Information cleared by mouse, Windows StartMenu by
# Space (the four that change something on every Windows, Wine's included); Back and Next
# on DOS Boot Sequence and Internet Connection; "Restart computer" cleared; Close.
optimizer_custom() {
  local ppi=$1 t="Custom Settings"
  at "Optimizer at $ppi ppi: Custom on the welcome page"
  wait_window "Welcome" 60 >/dev/null
  check "the layout is at $ppi pixels per inch" grep -q "^dpi $ppi " "$VU_LAYOUT_DIR/frmMain.txt"
  click "Welcome" frmMain welcomeOption2 box
  check "Custom is selected" layout_has frmMain welcomeOption2 value True
  press "Welcome" Return # releasing the mouse over the option gave Next the focus
  wait_window "Custom" >/dev/null
  at "Optimizer at $ppi ppi: the Custom page, Alt+N"
  press "Custom" alt+n
  wait_window "$t" >/dev/null

  at "Optimizer at $ppi ppi: pages 1 to 3, Registry Mistakes cleared by mouse"
  on_page 1 1
  press "$t" Return
  on_page 2 1
  click "$t" frmMain checkLabel box
  check "Registry Mistakes cleared" layout_has frmMain checkLabel value 0
  press "$t" Return # the box gave Next the focus
  on_page 3 1
  click "$t" frmMain nextButton
  at "Optimizer at $ppi ppi: Windows StartMenu cleared by Space"
  on_page 4 1
  # From Next, Shift+Tab goes back through Close, Back and Help to the page's box.
  press "$t" shift+Tab shift+Tab shift+Tab shift+Tab space
  check "Windows StartMenu cleared by Space" layout_has frmMain checkLabel value 0
  press "$t" Return # the box gave Next the focus
  at "Optimizer at $ppi ppi: DOS Boot Sequence, back and forth"
  on_page 5 1
  press "$t" alt+b
  on_page 4 0
  press "$t" Return # Back left the focus on Next
  on_page 5 1
  press "$t" Return
  at "Optimizer at $ppi ppi: Uninstall Information cleared by mouse"
  on_page 6 1
  click "$t" frmMain checkLabel # on its text
  check "Uninstall Information cleared" layout_has frmMain checkLabel value 0
  press "$t" alt+n
  at "Optimizer at $ppi ppi: Internet Connection, back and forth"
  on_page 7 1
  press "$t" Return
  on_page 8 1
  click "$t" frmMain backButton
  on_page 7 1
  click "$t" frmMain nextButton
  on_page 8 1
  press "$t" Return
  at "Optimizer at $ppi ppi: pages 9 and 10, then the run"
  on_page 9 1
  press "$t" Return
  on_page 10 1
  press "$t" Return
  at "Optimizer at $ppi ppi: the run"
  wait_window "Finished Optimizing" 600 >/dev/null
  at "Optimizer at $ppi ppi: the results page, Restart computer cleared, Close"
  check "Restart computer starts ticked" layout_has frmMain bootCheck value 1
  click "Finished Optimizing" frmMain bootCheck box
  check "Restart computer cleared" layout_has frmMain bootCheck value 0
  press "Finished Optimizing" Return # the box gave Close the focus
  wait_gone "Finished Optimizing" 30
  wait_for "the Optimizer ends" 30 stopped "$optimizer"
  check "selected: the broken shortcut is gone" absent "$menu/Old Game"
  check "selected: the orphaned shared DLL entry is gone" no_value "$shared" "$orphan"
  check "cleared: the registry mistake stays" has_value 'HKLM\Software\Old Game' InstallDir 'GAME.EXE'
  check "cleared: the stale uninstall entry stays" has_value "$stale" DisplayName 'Old Game'
  check "cleared: the Start menu delay stays" has_value "$desktop" MenuShowDelay 400
}

# A second start: Alt+F4 on a selection page asks to exit; Escape resumes; Close and Exit end it.
optimizer_exit() {
  local ppi=$1 t="Custom Settings"
  at "Optimizer at $ppi ppi again: to page 1"
  launch "$app_win\Optimizer.exe"
  wait_window "Welcome" 60 >/dev/null
  click "Welcome" frmMain welcomeOption2 box
  press "Welcome" Return
  wait_window "Custom" >/dev/null
  press "Custom" Return
  on_page 1 1
  at "Optimizer at $ppi ppi again: Alt+F4, then Escape to resume"
  press "$t" alt+F4
  wait_window "Exit Optimizer" >/dev/null
  press "Exit Optimizer" Escape
  wait_gone "Exit Optimizer"
  check "still running after Resume" running "$optimizer"
  on_page 1 1
  at "Optimizer at $ppi ppi again: Close, then Exit"
  click "$t" frmMain closeButton
  wait_window "Exit Optimizer" >/dev/null
  click "Exit Optimizer" frmConfirm Command1
  wait_gone "$t"
  wait_for "the Optimizer ends" 30 stopped "$optimizer"
}

uninstall() {
  at "Uninstall: as the list of installed programs starts it"
  launch uninstaller --remove 'Velloria Optimizer'
  wait_window "Velloria UnInstaller" 60 >/dev/null
  at "Uninstall: Alt+Y"
  press "Velloria UnInstaller" alt+y
  wait_window "Uninstalling Velloria Optimizer" >/dev/null
  at "Uninstall: the removal, then Enter on Close"
  wait_for "Close is enabled at the end" 120 layout_has frmStart Command1 enabled 1
  press "Uninstalling Velloria Optimizer" Return
  wait_gone "Uninstalling Velloria Optimizer"
  check "the program folder is gone" absent "$app/Optimizer.exe"
  check "the menu group is gone" absent "$menu/Velloria Utilities"
  check "the record is gone" no_key "$record"
  check "the uninstaller stays in the Windows folder" test -f "$c/windows/VLUN32.exe"
}

main() {
  at "a fresh Wine prefix"
  wineboot -i >/dev/null 2>&1
  menu=$(find "$c/users" -type d -name Programs -path "*Start Menu*" | head -1)
  [ -n "$menu" ] || fail "no Start Menu\\Programs folder in the prefix"
  # The broken shortcut, written by the sandbox's writer: the bytes the shell's link object reads.
  "$vm" init "$work/scratch" >/dev/null
  "$vm" lnk "$work/scratch" 'C:\MY DOCUMENTS\Old Game.lnk' 'C:\OLDGAME\GAME.EXE' >/dev/null
  cp "$("$vm" path "$work/scratch" 'C:\MY DOCUMENTS\Old Game.lnk')" "$work/"
  plant
  install_custom
  optimizer_custom 96
  optimizer_exit 96
  at "120 pixels per inch"
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 120 /f >/dev/null 2>&1
  wineserver -w
  plant
  launch "$app_win\Optimizer.exe"
  optimizer_custom 120
  optimizer_exit 120
  uninstall
  echo "real-input journey: every step passed in $((SECONDS - started)) s"
}

main
wineserver -k 2>/dev/null || true
