#!/usr/bin/env bash
# Screenshots of the real Windows programs under Wine, for docs/screenshots/:
#   bash scripts/screenshots.sh [NAME...]     (NAME: a script in scripts/shots/ without .txt, or
#                                              "windows" for the pictures taken with xdotool)
# Each scenario runs in its own fresh prefix inside Wine's virtual desktop (which draws the window
# frames), takes its pictures with the automation script's "shot" command, and the pictures are
# trimmed to the windows and saved as PNG. The large-font scenarios ("-120" in the name) set the
# screen to 120 pixels per inch first. What no automation script can reach (the system's folder
# browser, the help viewer opened by F1) is taken by scripts/shots/windows.sh with xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bin=$root/build/windows/bin
out=$root/docs/screenshots
work=$root/build/windows/shots
mkdir -p "$out" "$work"

cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)" >/dev/null
dist=$root/build/windows/dist

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for f in scripts/shots/*.txt; do names+=("$(basename "$f" .txt)"); done
  names+=(windows)
fi

for name in "${names[@]}"; do
  if [ "$name" = windows ]; then
    bash scripts/shots/windows.sh "$out" || echo "warning: windows ended with status $?"
    continue
  fi
  script=$root/scripts/shots/$name.txt
  # The installer runs from a copy of the installation set in C:\SETUP; the uninstaller as the
  # list of installed programs starts it, after an Express installation.
  export SHOT_ROOT=$root SHOT_NAME=$name SHOT_DIST=$dist SHOT_ARGUMENT="" SHOT_SETUP=no SHOT_INSTALL=no
  case "$name" in
    install-*) SHOT_PROGRAM='C:\SETUP\Install.exe' SHOT_SETUP=yes ;;
    uninstall-fatal*) SHOT_PROGRAM=$bin/Uninstall.exe ;;
    uninstall-*)
      SHOT_PROGRAM='C:\WINDOWS\VLUN32.exe' SHOT_ARGUMENT='-Velloria Optimizer'
      SHOT_SETUP=yes SHOT_INSTALL=yes ;;
    *) SHOT_PROGRAM=$bin/Optimizer.exe ;;
  esac
  export SHOT_PROGRAM
  [ -f "$bin/Optimizer.exe" ] || { echo "skipped $name: the Windows build is missing"; continue; }
  prefix=$work/$name.prefix
  rm -rf "$prefix" "$work/$name"
  mkdir -p "$work/$name"
  cp "$script" "$work/$name/script.txt"
  (
    # Wine links the prefix's Documents and Desktop to the home folder's: a home of its own keeps
    # the scenario's backups out of the user's.
    export HOME=$work/$name/home WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$HOME"
    cd "$work/$name"
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
      wineboot -i >/dev/null 2>&1 || true
      case "$SHOT_NAME" in
        *-120*) wine reg add "HKCU\Control Panel\Desktop" /v LogPixels /t REG_DWORD /d 120 /f \
                  >/dev/null 2>&1 ;;
      esac
      if [ "$SHOT_SETUP" = yes ]; then
        mkdir -p "$WINEPREFIX/drive_c/SETUP"
        cp "$SHOT_DIST"/* "$WINEPREFIX/drive_c/SETUP/"
      fi
      if [ "$SHOT_INSTALL" = yes ]; then
        wine "C:\\SETUP\\Install.exe" --express >/dev/null 2>&1
        mkdir -p "$WINEPREFIX/drive_c/SETUP"
        cp "$SHOT_DIST"/* "$WINEPREFIX/drive_c/SETUP/"
      fi
      bash "$SHOT_ROOT/scripts/shots/prepare.sh" "$SHOT_NAME"
      if [ -n "$SHOT_ARGUMENT" ]; then
        # Through cmd, so that the argument arrives unquoted, as the system passes it.
        timeout 900 wine explorer /desktop=shot,1024x768 cmd /c \
          "$SHOT_PROGRAM --script script.txt $SHOT_ARGUMENT"
      else
        timeout 900 wine explorer /desktop=shot,1024x768 "$SHOT_PROGRAM" --script script.txt
      fi
      status=$?
      wineserver -k 2>/dev/null || true
      exit $status'
  ) || echo "warning: $name ended with status $?"
  for bmp in "$work/$name"/*.bmp; do
    [ -f "$bmp" ] || continue
    png=$out/$(basename "$bmp" .bmp).png
    convert "$bmp" -fuzz 2% -trim +repage -strip PNG8:"$png"
    echo "wrote ${png#$root/}"
  done
done
