#!/usr/bin/env bash
# Screenshots of the real Windows programs under Wine, for docs/screenshots/:
#   bash scripts/screenshots.sh [NAME...]     (NAME: a script in scripts/shots/ without .txt)
# Each scenario runs in its own fresh prefix inside Wine's virtual desktop (which draws the window
# frames), takes its pictures with the automation script's "shot" command, and the pictures are
# trimmed to the windows and saved as PNG. The large-font scenarios ("-120" in the name) set the
# screen to 120 pixels per inch first.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bin=$root/build/windows/bin
out=$root/docs/screenshots
work=$root/build/windows/shots
mkdir -p "$out" "$work"

if [ ! -x "$bin/Optimizer.exe" ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j"$(nproc)"
fi

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for f in scripts/shots/*.txt; do names+=("$(basename "$f" .txt)"); done
fi

for name in "${names[@]}"; do
  script=$root/scripts/shots/$name.txt
  program=Optimizer.exe
  case "$name" in
    install-*) program=Install.exe ;;
    uninstall-*) program=Uninstall.exe ;;
  esac
  [ -f "$bin/$program" ] || { echo "skipped $name: $program is not built"; continue; }
  prefix=$work/$name.prefix
  rm -rf "$prefix" "$work/$name"
  mkdir -p "$work/$name"
  cp "$script" "$work/$name/script.txt"
  (
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    cd "$work/$name"
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
      wineboot -i >/dev/null 2>&1 || true
      case "'"$name"'" in
        *-120*) wine reg add "HKCU\Control Panel\Desktop" /v LogPixels /t REG_DWORD /d 120 /f \
                  >/dev/null 2>&1 ;;
      esac
      timeout 900 wine explorer /desktop=shot,1024x768 "'"$bin/$program"'" --script script.txt
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
