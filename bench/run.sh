#!/usr/bin/env bash
# Times the cleaners' own work on a big sandbox machine beside the host's own tools, in pairs in
# one run so that the machine's other load touches both sides alike. Not a test: timings are
# noisy. Builds what it needs with the bench preset (Release, no sanitizers).
#
#   bash bench/run.sh [ROUNDS] [--wine]
#       ROUNDS defaults to 5; the machine is laid in build/bench/work once. --wine also times the
#       Windows build's search under Wine beside "cmd /c dir /s /b C:\*.lnk", on the same tree
#       laid in a prefix of its own (build/bench/wineprefix).
#
# Prints, for each measure, the minimum, median and maximum over the rounds, ours beside the
# reference, and the peak memory of our side:
#   search         the shortcut search of C: (200,000 files in 20,000 folders, 2,000 shortcuts)
#                  beside find -iname '*.lnk' -exec cat {} +
#   broken-links   the broken-links step (search, 1,000 removals, backup), beside the same find
#   registry N     the registry-mistakes step per value with N values (100k, 250k, 500k), beside a
#                  full scan of the registry database with sqlite3
#   express        an Express run on the virtual clock (optimizer --express --fast)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-5}
wine=${2:-}
cd "$root"
cmake --preset bench >/dev/null
cmake --build --preset bench -j2 --target cleaner_bench vmachine optimizer >/dev/null
bin=$root/build/bench/bin
work=$root/build/bench/work
machine=$work/machine
drive=$machine/drives/C

now() { date +%s.%N; }
# "min median max" of the numbers on stdin.
stats() { sort -g | awk '{v[NR]=$1} END {printf "%.4f %.4f %.4f", v[1], v[int((NR+1)/2)], v[NR]}'; }

if [ ! -f "$work/laid" ]; then
  echo "== laying the machine (once)"
  rm -rf "$work" && mkdir -p "$work"
  "$bin/vmachine" init "$machine" >/dev/null
  "$bin/cleaner_bench" lay-tree "$machine"
  cp "$machine/registry.db" "$work/registry.base"
  for n in 100000 250000 500000; do
    cp "$work/registry.base" "$machine/registry.db"
    "$bin/cleaner_bench" lay-registry "$machine" "$n"
    cp "$machine/registry.db" "$work/registry.$n"
  done
  cp "$work/registry.base" "$machine/registry.db"
  touch "$work/laid"
fi
if [ ! -f "$work/shortnames.base" ]; then
  # The first look at the drive gives every long name its 8.3 alias; every round starts from
  # there, so that the aliases file does not grow from round to round.
  "$bin/cleaner_bench" search "$machine" >/dev/null
  cp "$machine/shortnames.txt" "$work/shortnames.base"
fi
echo "files: $(find "$drive" -type f | wc -l), folders: $(find "$drive" -type d | wc -l)," \
  "shortcuts: $(find "$drive" -iname '*.lnk' | wc -l)"

# Puts back what a step removed: the shortcuts (and their aliases), the backups, the registry.
# The backups of earlier rounds are moved aside, and deleted only when the rounds are over: a file
# system may keep freshly freed inodes from reuse for a while (ext4 without a journal does, for a
# minute or more), so that deleting thousands of them just before a round would make every file
# and folder the round creates slower, a cost of the benchmark's own cleanup that the reference
# never pays.
spent=$work/spent
spent_count=0
reset() {
  "$bin/cleaner_bench" lay-links "$machine"
  cp "$work/shortnames.base" "$machine/shortnames.txt"
  if [ -d "$drive/MY DOCUMENTS/Velloria Optimizer Backups" ]; then
    mkdir -p "$spent"
    spent_count=$((spent_count + 1))
    mv "$drive/MY DOCUMENTS/Velloria Optimizer Backups" "$spent/$spent_count"
  fi
  cp "$work/registry.${1:-base}" "$machine/registry.db"
}
rm -rf "$spent"

find_once() {
  local t0; t0=$(now)
  find "$drive" -iname '*.lnk' -exec cat {} + >/dev/null
  echo "$(now) - $t0" | bc
}
sqlite_once() {
  local t0; t0=$(now)
  sqlite3 "$machine/registry.db" "SELECT count(*), sum(length(name)), sum(length(data)) FROM vals;" \
    >/dev/null
  echo "$(now) - $t0" | bc
}

declare -A ours refs peak
add() { ours[$1]+="$2"$'\n'; refs[$1]+="$3"$'\n'; peak[$1]+="$4"$'\n'; }

for round in $(seq "$rounds"); do
  echo "== round $round of $rounds"
  reset
  ref=$(find_once); read -r t kb _ < <("$bin/cleaner_bench" search "$machine")
  add search "$t" "$ref" "$kb"
  reset
  ref=$(find_once); read -r t kb _ < <("$bin/cleaner_bench" broken-links "$machine")
  add broken-links "$t" "$ref" "$kb"
  for n in 100000 250000 500000; do
    reset "$n"
    ref=$(sqlite_once); read -r t kb _ < <("$bin/cleaner_bench" registry "$machine")
    add "registry $n" "$(echo "$t * 1000000 / $n" | bc -l)" "$(echo "$ref * 1000000 / $n" | bc -l)" "$kb"
  done
  reset 100000
  t0=$(now)
  # The run's exit status says whether every step worked; the timing wants it either way.
  kb=$( { /usr/bin/time -f '%M' "$bin/optimizer" --machine "$machine" --express --fast \
    >/dev/null 2>/dev/null || true; } 2>&1 | tail -1)
  add express "$(echo "$(now) - $t0" | bc)" 0 "$kb"
done
reset
rm -rf "$spent"

if [ "$wine" = --wine ]; then
  echo "== the Windows build's search under Wine"
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j2 --target search_bench >/dev/null
  export WINEPREFIX=$root/build/bench/wineprefix WINEDEBUG=-all
  winework=$root/build/bench/wine
  if [ ! -f "$winework/laid" ]; then
    mkdir -p "$winework/machine/drives" "$WINEPREFIX"
    "$root/cmake/wine-run.sh" cmd /c exit
    ln -sfn "$WINEPREFIX/drive_c" "$winework/machine/drives/C"
    "$bin/cleaner_bench" lay-tree "$winework/machine"
    touch "$winework/laid"
  fi
  # One X server and one Wine server for the whole run, so that neither side pays for starting
  # them; wine-run.sh, given a display, leaves both alone (it would wait for the Wine server to
  # end, which a persistent one never does).
  xvfb=
  if [ -z "${DISPLAY:-}" ]; then
    display=600
    while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
      display=$((display + 1))
    done
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 200); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.05; done
    export DISPLAY=":$display"
  fi
  wineserver -p
  for round in $(seq "$rounds"); do
    t0=$(now)
    "$root/cmake/wine-run.sh" cmd /c dir /s /b 'C:\*.lnk' >/dev/null 2>&1
    ref=$(echo "$(now) - $t0" | bc)
    # Timed from outside as the reference is, Wine's start included on both sides.
    t0=$(now)
    "$root/cmake/wine-run.sh" "$root/build/windows/bin/search_bench.exe" >/dev/null 2>&1
    add wine-search "$(echo "$(now) - $t0" | bc)" "$ref" 0
  done
  wineserver -k || true
  if [ -n "$xvfb" ]; then kill "$xvfb" || true; fi
fi

echo
printf '%-16s %-30s %-30s %s\n' measure "ours (min median max)" "reference (min median max)" "peak KB"
measures=(search broken-links "registry 100000" "registry 250000" "registry 500000" express)
[ "$wine" = --wine ] && measures+=(wine-search)
for m in "${measures[@]}"; do
  unit=s; [[ $m == registry* ]] && unit="us/value"
  printf '%-16s %-30s %-30s %s\n' "$m" "$(printf '%s' "${ours[$m]}" | stats) $unit" \
    "$(printf '%s' "${refs[$m]}" | stats)" "$(printf '%s' "${peak[$m]}" | sort -n | tail -1)"
done
