#!/bin/bash
# Indexer benchmark: generates PAGES reproducible HTML pages, runs a whole indexer run on them
# in a fresh work directory with scripted keys, and prints wall time, input MB/s, word
# occurrences per second and peak resident memory, beside `ptx -A` and `wc -w` on the same
# text as yardsticks.  Usage: bench/indexer_bench.sh [PAGES ...]   (default: 200 2000)
set -e
first_run=
first_pages=
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$top/build-bench"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target pagoran gen_html_set_bench >/dev/null
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

for pages in "${@:-200 2000}"; do
  for p in $pages; do
    work="$scratch/work_$p"
    mkdir -p "$work"
    cp "$build"/pagoran_01_149.exe "$build"/wget.exe "$work/"
    "$build/bench/gen_html_set_bench" "$p" "$work/htm_in" >/dev/null
    bytes=$(cat "$work"/htm_in/*.html | wc -c)
    # The pages' text without tags, for the yardsticks.
    cat "$work"/htm_in/*.html | sed -e 's/<[^>]*>/ /g' > "$scratch/text_$p.txt"

    # Dirty pages of earlier runs are written back first, so that their write-back does not
    # fall into the timed run.
    sync
    start=$(date +%s%N)
    (cd "$work" && printf '11\n' | /usr/bin/time -f '%M' -o "$scratch/rss" ./pagoran_01_149.exe \
        > "$scratch/console" 2>&1)
    end=$(date +%s%N)
    run=$(seconds "$start" "$end")
    rss_kb=$(tail -1 "$scratch/rss")
    occurrences=$(cat "$work"/htm_out/page_*.htm | grep -c 'ondblclick' || true)

    sync
    start=$(date +%s%N); ptx -A "$scratch/text_$p.txt" > /dev/null; end=$(date +%s%N)
    ptx_s=$(seconds "$start" "$end")
    start=$(date +%s%N); words=$(wc -w < "$scratch/text_$p.txt"); end=$(date +%s%N)
    wc_s=$(seconds "$start" "$end")

    mb=$(ratio "$bytes" 1048576)
    echo "== $p pages, $mb MB of HTML, $words words"
    [ -z "$first_run" ] && first_run=$run first_pages=$p
    echo "indexer run:   $run s, $(ratio "$mb" "$run") MB/s," \
         "$(ratio "$occurrences" "$run") occurrences/s ($occurrences occurrences)," \
         "peak RSS $((rss_kb / 1024)) MiB"
    echo "ptx -A:        $ptx_s s"
    echo "wc -w:         $wc_s s"
    tail -1 "$scratch/console"
    if [ "$p" != "$first_pages" ]; then
      echo "time against $first_pages pages: $(ratio "$run" "$first_run") times"
    fi
    rm -rf "$work"
  done
done
