#!/bin/bash
# Differential check of two indexer builds: runs both on the same generated document sets
# (corner-case sets and the benchmark's set) and compares the console transcripts, every file
# of htm_out and the folder wrd_24 byte for byte.
# With WITHOUT_BLOCKS=1 the new build's index pages (i_1.htm, s_1.htm, index.htm,
# files_list.htm) are compared without their lines that are exactly <div> or </div>: against
# a build that wrote no blocks, everything else must be the same.
# Usage: [WITHOUT_BLOCKS=1] bench/indexer_diff.sh OLD_EXE NEW_EXE [SET ...]
#   a SET is corner:PAGES[:LONG_LINE_BYTES] or book:PAGES
#   (default: corner:150 corner:1200 corner:20:1500000 corner:8:12000000 book:200)
set -e
old="$(realpath "$1")"
new="$(realpath "$2")"
shift 2
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$top/build-bench"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j 2 --target gen_html_set_bench gen_corner_set_bench >/dev/null
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export SOURCE_DATE_EPOCH=1720343103
failed=0
for set in "${@:-corner:150 corner:1200 corner:20:1500000 corner:8:12000000 book:200}"; do
  for s in $set; do
    IFS=: read -r kind pages long <<< "$s"
    mkdir -p "$scratch/in"
    rm -rf "$scratch/in/htm_in"
    if [ "$kind" = corner ]; then
      "$build/bench/gen_corner_set_bench" "$pages" "$scratch/in/htm_in" $long >/dev/null
    else
      "$build/bench/gen_html_set_bench" "$pages" "$scratch/in/htm_in" >/dev/null
    fi
    for side in old new; do
      work="$scratch/$side"
      rm -rf "$work"
      mkdir -p "$work"
      cp -r "$scratch/in/htm_in" "$work/"
      exe="$old"
      [ $side = new ] && exe="$new"
      cp "$exe" "$work/pagoran_01_149.exe"
      cp "$build/wget.exe" "$work/"
      start=$(date +%s%N)
      (cd "$work" && printf '11shop.example.org\n' | /usr/bin/time -f '%M' -o "$scratch/rss_$side" \
          ./pagoran_01_149.exe > "$scratch/console_$side" 2>&1)
      end=$(date +%s%N)
      echo "$s $side: $(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", (b - a) / 1e9 }') s," \
           "peak RSS $(( $(tail -1 "$scratch/rss_$side") / 1024 )) MiB"
    done
    if [ -n "$WITHOUT_BLOCKS" ]; then
      for page in i_1.htm s_1.htm index.htm files_list.htm; do
        grep -v -x -e $'<div>\r' -e $'</div>\r' "$scratch/new/htm_out/$page" > "$scratch/page" || true
        mv "$scratch/page" "$scratch/new/htm_out/$page"
      done
    fi
    if cmp -s "$scratch/console_old" "$scratch/console_new" &&
       diff -r -q "$scratch/old/htm_out" "$scratch/new/htm_out" >/dev/null &&
       diff -r -q "$scratch/old/wrd_24" "$scratch/new/wrd_24" >/dev/null &&
       [ "$(ls "$scratch/old")" = "$(ls "$scratch/new")" ]; then
      echo "$s: same ($(ls "$scratch/new/htm_out" | wc -l) output files)"
    else
      echo "$s: DIFFERENT"
      diff "$scratch/console_old" "$scratch/console_new" | head -5
      diff -r -q "$scratch/old/htm_out" "$scratch/new/htm_out" | head -5
      diff -r -q "$scratch/old/wrd_24" "$scratch/new/wrd_24" | head -5
      failed=1
    fi
  done
done
exit $failed
