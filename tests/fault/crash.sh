#!/usr/bin/env bash
# The crash test: an Express run over the demo's machine with its planted problems is killed
# (kill -9) at a random moment, then the run's backup is restored; the machine must be given back
# exactly (its files with bytes and attributes, its registry as `vmachine reg export` writes it,
# values compared regardless of their order within a key), or the restore must exit 1 naming what
# it could not put back. A run killed before its first change must have changed nothing.
#   bash tests/fault/crash.sh [KILLS] [BINDIR]     (defaults: 10, build/native/bin)
set -euo pipefail
kills=${1:-10}
bin=${2:-$(cd "$(dirname "$0")/../.." && pwd)/build/native/bin}
vm=$bin/vmachine
work=$(mktemp -d "${TMPDIR:-/tmp}/vu-crash-XXXXXX")
trap 'rm -rf "$work"' EXIT

template=$work/template
"$vm" init "$template" >/dev/null
host() { "$vm" path "$1" "$2"; }
bash "$(dirname "$0")/../../scripts/plant-problems.sh" "$vm" "$template"

# The machine as compared: files (bytes) and folders, DOS attributes, registry lines by key.
snapshot() {
  local m=$1
  (cd "$m/drives" && find . -mindepth 1 ! -ipath '*velloria optimizer backups*' -print0 |
    LC_ALL=C sort -z | xargs -0 -r md5sum 2>/dev/null || true)
  (cd "$m/drives" && find . -mindepth 1 -type d ! -ipath '*velloria optimizer backups*' |
    LC_ALL=C sort)
  grep -vi 'velloria optimizer backups' "$m/attributes.txt" 2>/dev/null | LC_ALL=C sort || true
  "$vm" reg export "$m" | tr -d '\r' |
    awk '/^\[/ { key = $0; print; next } NF { print key " " $0 }' | LC_ALL=C sort
}
snapshot "$template" >"$work/before"

# How long a whole run takes here: the kills fall anywhere inside it.
cp -a "$template" "$work/timing"
start=$(date +%s%N)
"$bin/optimizer" --machine "$work/timing" --express --fast >/dev/null 2>&1 || true
span_ms=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$span_ms" -gt 0 ] || span_ms=1

exact=0 reported=0 untouched=0 anomalies=0
for i in $(seq 1 "$kills"); do
  m=$work/m$i
  cp -a "$template" "$m"
  delay=$(( (RANDOM * 32768 + RANDOM) % span_ms ))
  "$bin/optimizer" --machine "$m" --express --fast >/dev/null 2>&1 &
  pid=$!
  sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  backups=$(host "$m" 'C:\MY DOCUMENTS\Velloria Optimizer Backups')
  folder=$(ls "$backups" 2>/dev/null | head -n 1 || true)
  if [ -z "$folder" ]; then
    if snapshot "$m" | cmp -s - "$work/before"; then
      untouched=$((untouched + 1))
    else
      anomalies=$((anomalies + 1))
      echo "kill $i at ${delay} ms: the machine changed but there is no backup" >&2
      snapshot "$m" | diff "$work/before" - | head -n 6 >&2 || true
    fi
    rm -rf "$m"
    continue
  fi
  set +e
  report=$("$bin/optimizer" --machine "$m" --restore "C:\\MY DOCUMENTS\\Velloria Optimizer Backups\\$folder" 2>&1)
  code=$?
  set -e
  if [ "$code" -eq 0 ]; then
    if snapshot "$m" | cmp -s - "$work/before"; then
      exact=$((exact + 1))
    else
      anomalies=$((anomalies + 1))
      echo "kill $i at ${delay} ms: restore said everything was restored, but:" >&2
      snapshot "$m" | diff "$work/before" - | head -n 6 >&2 || true
    fi
  elif [ "$code" -eq 1 ] && [ -n "$report" ]; then
    reported=$((reported + 1))
    echo "kill $i at ${delay} ms: restore reported what it could not put back:" >&2
    printf '%s\n' "$report" | head -n 4 >&2
  else
    anomalies=$((anomalies + 1))
    echo "kill $i at ${delay} ms: restore exited $code: $report" >&2
  fi
  rm -rf "$m"
done
echo "crash test: $kills kills within a ${span_ms} ms run; restores exact: $exact," \
  "restores that reported failures: $reported, killed before any change: $untouched," \
  "anomalies: $anomalies"
[ "$anomalies" -eq 0 ]
