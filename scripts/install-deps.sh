#!/usr/bin/env bash
# Installs everything the project needs to build, test and demo, from Debian's packages.
# Safe to run again: packages already present are skipped without touching apt.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  libsqlite3-dev sqlite3 libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools python3
  wine wine64 xvfb xauth xdotool imagemagick fonts-liberation
  liblnk-utils clang clang-format ccache
  bc time
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine for 32-bit programs (the 32-bit set's tests and journeys) beside wine64: only where 32-bit
# x86 code can run, i.e. on an amd64 system. Elsewhere scripts/test.sh skips the 32-bit runs.
if [ "$(dpkg --print-architecture)" = amd64 ] &&
  ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing: wine32 (i386)"
  $SUDO dpkg --add-architecture i386
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine32:i386 ||
    echo "install-deps: wine32 could not be installed; the 32-bit runs will be skipped"
fi
