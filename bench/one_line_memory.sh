#!/bin/bash
# Peak memory of a whole indexer run on one page of minified HTML, the whole page on one line,
# beside its limit: 4 times the longest line plus 32 MiB. For each size (in MiB, default 20
# and 100) it generates the page (bench/gen_one_line_page_bench.cc), runs a Release build of
# the indexer on it in a fresh work directory with scripted keys and prints the line's length,
# the wall time and the peak resident memory that /usr/bin/time reports.
# Usage: [EXE=pagoran.exe] [KEEP=DIR] bench/one_line_memory.sh [MIB ...]
#   EXE   an indexer executable to measure instead of build-bench's (an older build, say);
#   KEEP  keeps each run's work directory as DIR/MIB, to compare the output of two builds
#         with diff -r.
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$top/build-bench"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j 2 --target pagoran gen_one_line_page_bench >/dev/null
exe="$(realpath "${EXE:-$build/pagoran_01_149.exe}")"
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing: apt-get install time" >&2; exit 2; }
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export SOURCE_DATE_EPOCH=1720343103
failed=0
for mib in ${@:-20 100}; do
  work="$scratch/work_$mib"
  mkdir -p "$work/htm_in"
  cp "$exe" "$work/pagoran_01_149.exe"
  cp "$build/wget.exe" "$work/"
  "$build/bench/gen_one_line_page_bench" $((mib * 1048576)) "$work/htm_in/page.html" >/dev/null
  line=$(LC_ALL=C awk '{ if (length($0) > m) m = length($0) } END { print m }' \
      "$work/htm_in/page.html")
  limit_kb=$(((4 * line + 32 * 1048576) / 1024))
  sync
  (cd "$work" && printf '11\n' | /usr/bin/time -f '%M %e' -o "$scratch/rss" \
      ./pagoran_01_149.exe > "$scratch/console" 2>&1)
  read -r rss_kb wall < <(tail -1 "$scratch/rss")
  tail -1 "$scratch/console" | grep -q 'processed 100%' || { echo "$mib MiB: the run did not end" \
      "as it should:"; tail -3 "$scratch/console"; failed=1; }
  verdict=within
  [ "$rss_kb" -le "$limit_kb" ] || { verdict=OVER; failed=1; }
  echo "$mib MiB page: line $line bytes, run $wall s, peak RSS $((rss_kb / 1024)) MiB" \
       "($(awk -v r="$rss_kb" -v l="$line" 'BEGIN { printf "%.2f", r * 1024 / l }') times" \
       "the line), limit $((limit_kb / 1024)) MiB: $verdict"
  if [ -n "$KEEP" ]; then
    mkdir -p "$KEEP"
    rm -rf "${KEEP:?}/$mib"
    mv "$work" "$KEEP/$mib"
  else
    rm -rf "$work"
  fi
done
exit $failed
