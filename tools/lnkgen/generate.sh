#!/usr/bin/env bash
# Makes the test shortcuts under Wine with lnkgen (build it first: cmake --build --preset windows
# --target lnkgen):
#   tests/data/lnk/wine/      made by Wine's link object, with the targets it reports;
#   tests/data/lnk/sandbox/   made by the sandbox's writer, with the targets Wine reads back.
# With --check nothing is replaced: the writer's fresh output and both manifests are compared
# with the committed ones, so a change in the writer or in Wine's reading shows up.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
exe=${LNKGEN:-$here/build/windows/bin/lnkgen.exe}
prefix=${WINEPREFIX:-$here/build/windows/wineprefix}
work=$prefix/drive_c/vu-lnkgen
data=$here/tests/data/lnk

rm -rf "$work/wine" "$work/sandbox"
"$here/cmake/wine-run.sh" "$exe" make 'C:\vu-lnkgen\wine' >/dev/null
"$here/cmake/wine-run.sh" "$exe" write 'C:\vu-lnkgen\sandbox' >/dev/null

if [ "${1:-}" = "--check" ]; then
  status=0
  diff -u "$data/wine/manifest.tsv" "$work/wine/manifest.tsv" || status=1
  diff -r "$data/sandbox" "$work/sandbox" || status=1
  [ $status -eq 0 ] && echo "Wine agrees with the committed test shortcuts."
  exit $status
fi
rm -rf "$data/wine" "$data/sandbox"
mkdir -p "$data"
cp -r "$work/wine" "$work/sandbox" "$data/"
echo "Wrote $data/wine and $data/sandbox."
