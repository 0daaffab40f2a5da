#!/bin/bash
# Indexer benchmark: generates PAGES reproducible HTML pages, runs a whole indexer run on them
# in a fresh work directory with scripted keys, and prints wall time, input MB/s, word
# occurrences per second, peak resident memory and the time between the progress messages,
# beside yardsticks on the same pages, each with the indexer's time as a ratio to it:
#   pagefind   the static-site search indexer (npm package "pagefind"), installed once into
#              build-bench/pagefind when npm is there; skipped, with a note, when it is not;
#   ptx -A     a permuted index of the pages' text;
#   wc -w      counting the words of the pages' text;
#   cat        writing a copy of the indexer's output set.
# Every timed command runs RUNS times (default 3) and the fastest run counts, for the
# indexer and the yardsticks alike: on a shared machine one run can be slowed down by others.
# The indexer runs of the sizes take turns.
# Each run starts from the same state as the first: what an earlier run wrote is removed
# beforehand, untimed (deleting 400 MB of old output takes a run about 0.2 s).
# Usage: [RUNS=n] bench/indexer_bench.sh [PAGES ...]   (default: 200 2000)
set -e
first_run=
first_pages=
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$top/build-bench"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target pagoran gen_html_set_bench >/dev/null
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

pagefind="$build/pagefind/node_modules/.bin/pagefind"
if [ ! -x "$pagefind" ]; then
  if command -v npm >/dev/null; then
    mkdir -p "$build/pagefind"
    npm install --prefix "$build/pagefind" pagefind >/dev/null 2>&1 || true
  fi
fi
[ -x "$pagefind" ] || echo "pagefind: npm or the package is not available, skipped"

seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
runs=${RUNS:-3}
# Times a command line given as arguments after the first, the fastest of $runs runs, each
# after the shell command given as the first argument (untimed); prints seconds.
timed() {
  local prepare="$1" start end best= t i
  shift
  for ((i = 0; i < runs; i++)); do
    eval "$prepare"
    sync
    start=$(date +%s%N)
    "$@" > /dev/null 2>&1
    end=$(date +%s%N)
    t=$(seconds "$start" "$end")
    if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
  done
  echo "$best"
}

sizes=$(echo ${@:-200 2000})
declare -A run run_start rss_kb bytes
for p in $sizes; do
  work="$scratch/work_$p"
  mkdir -p "$work"
  cp "$build"/pagoran_01_149.exe "$build"/wget.exe "$work/"
  "$build/bench/gen_html_set_bench" "$p" "$work/htm_in" >/dev/null
  cp -r "$work/htm_in" "$scratch/site_$p"
  bytes[$p]=$(cat "$work"/htm_in/*.html | wc -c)
  # The pages' text without tags, for the yardsticks.
  cat "$work"/htm_in/*.html | sed -e 's/<[^>]*>/ /g' > "$scratch/text_$p.txt"
  rss_kb[$p]=0
done

# The indexer runs of all sizes take turns, so that a machine that gets slower or faster
# meanwhile weighs on every size alike and the ratio between sizes stays fair. Each run
# starts on a quiet disk: its output is deleted right after it, before the kernel writes
# it back (a written-back 4 GB keeps the disk busy well into the next run), and what is
# still dirty is written back before the next run. Each console line gets the time it was
# printed at (one perl process for all lines, so that the stamping takes no core from the
# run); the fastest run's lines are kept.
run_indexer() {
  (cd "$1" && printf '11\n' | /usr/bin/time -f '%M' -o "$scratch/rss" ./pagoran_01_149.exe \
      2>&1 | perl -MTime::HiRes=time -ne 'printf "%.0f %s", time * 1e9, $_' \
      > "$scratch/console_now")
}
for ((i = 0; i < runs; i++)); do
  for p in $sizes; do
    work="$scratch/work_$p"
    sync
    start=$(date +%s%N)
    run_indexer "$work"
    end=$(date +%s%N)
    rm -rf "$work/htm_out" "$work/wrd_24"
    t=$(seconds "$start" "$end")
    rss_now=$(tail -1 "$scratch/rss")
    [ "$rss_now" -gt "${rss_kb[$p]}" ] && rss_kb[$p]=$rss_now
    if [ -z "${run[$p]}" ] || awk -v a="$t" -v b="${run[$p]}" 'BEGIN { exit !(a < b) }'; then
      run[$p]=$t
      run_start[$p]=$start
      mv "$scratch/console_now" "$scratch/console_$p"
    fi
  done
done

for p in $sizes; do
  work="$scratch/work_$p"
  run_indexer "$work"  # untimed: the output set for the figures below and for cat
  occurrences=$(cat "$work"/htm_out/page_*.htm | grep -c 'ondblclick' || true)
  mb=$(ratio "${bytes[$p]}" 1048576)
  words=$(wc -w < "$scratch/text_$p.txt")
  echo "== $p pages, $mb MB of HTML, $words words"
  [ -z "$first_run" ] && first_run=${run[$p]} first_pages=$p
  echo "indexer run:   ${run[$p]} s (fastest of $runs), $(ratio "$mb" "${run[$p]}") MB/s," \
       "$(ratio "$occurrences" "${run[$p]}") occurrences/s ($occurrences occurrences)," \
       "peak RSS $((rss_kb[$p] / 1024)) MiB"
  # Time from the start (or the message before) to each progress message.
  echo "  until each progress message:" $(awk -v s="${run_start[$p]}" \
      '/ processed [0-9]+%$/ { printf "%s %.2f s,\n", $3, ($1 - s) / 1e9; s = $1 }' "$scratch/console_$p")

  if [ -x "$pagefind" ]; then
    pf=$(timed "rm -rf '$scratch/pagefind_$p'" "$pagefind" --site "$scratch/site_$p" --output-path "$scratch/pagefind_$p")
    echo "pagefind:      $pf s   (indexer / pagefind: $(ratio "${run[$p]}" "$pf"))"
  fi
  ptx_s=$(timed : ptx -A "$scratch/text_$p.txt")
  echo "ptx -A:        $ptx_s s   (indexer / ptx: $(ratio "${run[$p]}" "$ptx_s"))"
  wc_s=$(timed : wc -w "$scratch/text_$p.txt")
  echo "wc -w:         $wc_s s   (indexer / wc: $(ratio "${run[$p]}" "$wc_s"))"
  out_mb=$(ratio "$(cat "$work"/htm_out/* | wc -c)" 1048576)
  cat_s=$(timed "rm -f '$scratch/cat_copy'" sh -c "cat '$work'/htm_out/* > '$scratch/cat_copy'")
  echo "cat of output: $cat_s s for $out_mb MB   (indexer / cat: $(ratio "${run[$p]}" "$cat_s"))"
  tail -1 "$scratch/console_$p" | cut -d' ' -f2-
  if [ "$p" != "$first_pages" ]; then
    echo "time against $first_pages pages: $(ratio "${run[$p]}" "$first_run") times"
  fi
  rm -rf "$work" "$scratch/site_$p" "$scratch/pagefind_$p" "$scratch/cat_copy" "$scratch/text_$p.txt"
done
