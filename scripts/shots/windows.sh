#!/usr/bin/env bash
# The pictures no automation script can take, because the windows are not the programs' own:
# the system's folder browser and the help viewer (its contents, F1 on two selection pages, the
# Index tab). Driven with xdotool on a plain X server, each picture cut to its window.
#   bash scripts/shots/windows.sh OUT_DIR      (run by scripts/screenshots.sh)
set -euo pipefail
if [ -z "${SHOTS_XVFB:-}" ]; then
  SHOTS_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
cd "$(dirname "$0")/../.."
root=$PWD
out=$1
work=$root/build/windows/shots/windows
rm -rf "$work"
shots=$work/failures
VU_LAYOUT_DIR=$work/layout
mkdir -p "$shots" "$VU_LAYOUT_DIR" "$work/home"
export HOME=$work/home WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# shellcheck source=tests/e2e/real_input_lib.sh
source "$root/tests/e2e/real_input_lib.sh"
c=$WINEPREFIX/drive_c

launch() {
  VU_LAYOUT_DIR="Z:${VU_LAYOUT_DIR//\//\\}" wine "$@" >>"$work/wine.log" 2>&1 &
}

# picture TITLE NAME: the window titled TITLE (or, with TITLE "~TEXT", whose title holds TEXT), as
# docs/screenshots/NAME.png.
picture() {
  local id="" X Y WIDTH HEIGHT i
  if [ "${1:0:1}" = "~" ]; then
    for i in $(seq 150); do
      id=$({ xdotool search --onlyvisible --name "${1:1}" 2>/dev/null || true; } | tail -1)
      [ -n "$id" ] && break
      sleep 0.2
    done
    [ -n "$id" ] || fail "no window with \"${1:1}\" in its title"
  else
    id=$(wait_window "$1")
  fi
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$id" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -strip PNG8:"$out/$2.png"
  echo "wrote docs/screenshots/$2.png"
}

wineboot -i >/dev/null 2>&1
mkdir -p "$c/SETUP" "$c/App"
cp "$root/build/windows/dist"/* "$c/SETUP/"
cp "$root/build/windows/dist"/* "$c/App/"

at "the folder browser"
launch 'C:\SETUP\Install.exe'
click "Welcome" frmMain Command2
click "Installation Method" frmMain Option2 box
press "Installation Method" Return
click "Destination Directory" frmMain Command4
press "Browse for Folder" shift+Tab
xdotool type --delay 80 "my"
sleep 1.2
press "Browse for Folder" Right
picture "Browse for Folder" install-folder-browser
press "Browse for Folder" Escape
click "Destination Directory" frmMain Command1
click "Exit Setup" frmConfirm Command1
wineserver -w

at "the help contents"
launch winhlp32 'C:\App\Optimizer.hlp'
picture "~Optimizer Help" help-contents
wineserver -k || true
sleep 1

at "F1 on two selection pages, and the Index tab"
launch 'C:\App\Optimizer.exe'
click "Welcome" frmMain welcomeOption2 box
press "Welcome" Return
press "Custom" Return Return Return # the third page: Virtual Cache
press "Custom Settings" F1
picture "Wine Help" help-f1-virtual-cache
press "Wine Help" alt+F4
wait_gone "Wine Help"
press "Custom Settings" Return Return Return Return Return # the eighth: Internet Connection
press "Custom Settings" F1
picture "Wine Help" help-f1-internet
# The viewer's Index button, second on its button bar.
xdotool mousemove --window "$(window_of "Wine Help")" 85 29 click 1
picture "Help topics: Wine Help" help-index
wineserver -k || true
