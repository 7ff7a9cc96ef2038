#!/usr/bin/env bash
# Installs everything the project needs to build, test and demo, from Debian's packages.
# Safe to run again: packages already present are skipped without touching apt.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  libsqlite3-dev sqlite3 libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64 mingw-w64-tools
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
