#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (address and undefined behaviour sanitizers) into
# build/fuzz and runs each for SECONDS (default 600), seeded with files made from the project's
# own data. Findings are written to build/fuzz/findings/<target>/.
#
#   fuzz/run.sh [SECONDS] [TARGET...]    targets: shell_link regedit4 ini help_file backup_journal
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(shell_link regedit4 ini help_file backup_journal)
out=$here/build/fuzz
mkdir -p "$out"
failed=()

build() {  # target, sources...
  local name=$1
  shift
  clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$here" "$here/fuzz/${name}_fuzzer.cpp" "$@" -o "$out/${name}_fuzzer"
}

# Seeds: the working corpus grows between runs; these are always among them.
seed() {  # target
  local corpus=$out/corpus/$1
  mkdir -p "$corpus"
  case $1 in
    shell_link)
      for s in "$here"/tests/data/lnk/*/*.lnk; do
        cp "$s" "$corpus/$(basename "$(dirname "$s")")-$(basename "$s")"
      done ;;
    regedit4)
      printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\A]\r\n"S"="C:\\\\x"\r\n@="d"\r\n"D"=dword:0000002a\r\n"B"=hex:0a,ff,\\\r\n  00\r\n"E"=hex(2):25,00\r\n"G"=-\r\n\r\n[-HKCU\\Software\\B]\r\n' \
        >"$corpus/seed.reg" ;;
    ini)
      printf 'vcache\nMinFileCache\n4096\n[386Enh]\r\nx=1\r\n\r\n[vcache]\r\nMaxFileCache=8\r\n' >"$corpus/crlf"
      printf 'boot\nshell\nexplorer.exe\n[boot]\rshell=a\r' >"$corpus/cr"
      printf 'a\nb\nc\n[a]\nx=1\n\n' >"$corpus/lf" ;;
    help_file)
      if [ ! -x "$out/helpc" ]; then
        clang++ -std=c++20 -O1 -I"$here" "$here"/tools/helpc/*.cpp -o "$out/helpc"
      fi
      "$out/helpc" "$here/help/optimizer.txt" "$corpus/seed.hlp" "$out/seed.cnt" >/dev/null ;;
    backup_journal)
      printf '#1 file 12 1926c8ac\r\nnewfile\tC:\\NEW.TXT\r\n#2 void 1 83dcefb7\r\n1\r\n' \
        >"$corpus/seed" ;;
  esac
}

for t in "${targets[@]}"; do
  case $t in
    shell_link) build "$t" "$here"/platform/sandbox/shell_link*.cpp "$here/platform/text.cpp" ;;
    regedit4)
      build "$t" "$here/common/regedit4.cpp" "$here/platform/registry_path.cpp" \
        "$here/platform/text.cpp" ;;
    ini) build "$t" "$here/platform/ini.cpp" "$here/platform/text.cpp" ;;
    help_file)
      build "$t" "$here"/tools/helpc/{markup,codepage,hlp_writer,hlp_reader}.cpp ;;
    backup_journal)
      build "$t" "$here/optimizer/engine/backup_journal.cpp" ;;
    *) echo "fuzz/run.sh: unknown target $t" >&2; exit 2 ;;
  esac
  seed "$t"
  mkdir -p "$out/findings/$t"
  # A finding ends that target's run, not the others'.
  (cd "$out/findings/$t" && "$out/${t}_fuzzer" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 "$out/corpus/$t") || failed+=("$t")
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz/run.sh: findings from ${failed[*]} in $out/findings" >&2
  exit 1
fi
