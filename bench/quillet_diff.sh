#!/bin/bash
# Differential check of two quillet builds: runs both on the same generated lists
# (bench/gen_quillet_list_bench.cc) with scripted keys and compares the console transcripts and
# every file each run leaves in its work directory byte for byte.
# Usage: bench/quillet_diff.sh OLD_EXE NEW_EXE [KIND:MB[:LONG] ...]
#   (default: mixed:1 mixed:30 deep:20 long:20 tables:20 refs:20; KIND as the generator takes)
set -e
old="$(realpath "$1")"
new="$(realpath "$2")"
shift 2
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$top/build-bench"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j 2 --target gen_quillet_list_bench quillet >/dev/null
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export SOURCE_DATE_EPOCH=1720343103
failed=0
for set in ${@:-mixed:1 mixed:30 deep:20 long:20 tables:20 refs:20}; do
  IFS=: read -r kind mb long <<< "$set"
  "$build/bench/gen_quillet_list_bench" $((mb * 1000000)) "$scratch/big.txt" "$kind" $long \
      >/dev/null
  for side in old new; do
    work="$scratch/$side"
    rm -rf "$work"
    mkdir -p "$work"
    exe="$old"
    [ $side = new ] && exe="$new"
    cp "$exe" "$work/quillet_01_248.exe"
    cp "$build/wget.exe" "$work/"
    : > "$work/pagoran_01_149.exe"
    cp "$scratch/big.txt" "$work/"
    # Start-up keys, the list (line 1), continue, and no hand-off.
    (cd "$work" && printf '111\n12' | VISUAL= EDITOR=true ./quillet_01_248.exe \
        > "$scratch/$side.console" 2> "$scratch/$side.stderr") || true
    rm "$work/quillet_01_248.exe"
  done
  verdict=same
  grep -q 'input file: big.txt' "$scratch/new.console" || verdict="NOT RUN"
  diff -q "$scratch/old.console" "$scratch/new.console" >/dev/null || verdict=DIFFERENT
  diff -q "$scratch/old.stderr" "$scratch/new.stderr" >/dev/null || verdict=DIFFERENT
  diff -r -q "$scratch/old" "$scratch/new" || verdict=DIFFERENT
  echo "$set: $(ls "$scratch/new" | wc -l) files, $(du -sm "$scratch/new" | cut -f1) MB: $verdict"
  [ "$verdict" = same ] || failed=1
done
exit $failed
