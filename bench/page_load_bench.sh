#!/bin/bash
# Browser benchmark of the indexer's output: indexes the benchmark's generated sets (the pages
# of bench/indexer_bench.sh) and loads the largest decorated page and the index pages in
# headless Chromium (the system's chromium, driven by the npm package playwright-core,
# installed once into build-bench/browser). A large set makes several page groups, each with
# its word index page i_N.htm and search page s_N.htm: every group is listed with its pages
# and the sizes of its two pages, and the LOADED largest i_N.htm and s_N.htm (default: all of
# them up to 10 groups, else the 3 largest of each) are loaded beside index.htm and
# files_list.htm. Prints per page
# loaded its size, the seconds to the load event and until the whole page is laid out (the
# fastest of RUNS runs, default 3, the pages taking turns), and the milliseconds per MB of the
# latter beyond the fixed cost of a load (that of an empty page); then each index page's time
# per MB against the decorated page's. Targets:
# - every i_N.htm and s_N.htm of a group of more than one page is at most 8 MB;
# - for 200 pages and a folder: every index page at most 1.5 times the decorated page's time
#   per MB (a page under 1 MB, whose time is mostly the fixed cost, at most 1.5 times the
#   decorated page's whole time), and every i_N.htm and s_N.htm laid out in under 5 s;
# - for a folder: no index page loaded takes longer than its largest decorated page;
# - for each further size: the slowest i_N.htm or s_N.htm laid out within 1.3 times the
#   slowest of the first size (flat in the number of pages).
# A page is not loaded when Chromium would need more memory than the machine has available:
# it took about 55 bytes of memory per byte of page for the 200 pages' i_1.htm when it was one
# page for the whole set (3.8 GiB).
# A folder in place of a number of pages is a real document set: its .htm and .html files are
# indexed as they are (for example the Rust book of Debian's rust-doc,
# /usr/share/doc/rust-doc/html/book).
# BEFORE=1 also loads each index page without its block lines, that is as the indexer wrote
# it before it grouped lines in blocks.
# Usage: [RUNS=n] [LOADED=n|all] [TIMEOUT=seconds a load, default 600] [BEFORE=1]
#        bench/page_load_bench.sh [PAGES|FOLDER ...]   (default: 200 2000)
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$top/build-bench"
timeout=${TIMEOUT:-600}
runs=${RUNS:-3}
browser="$(command -v chromium || command -v chromium-browser || true)"
if [ -z "$browser" ]; then
  echo "chromium is not installed: nothing to measure"
  exit 1
fi
playwright="$build/browser/node_modules/playwright-core"
if [ ! -d "$playwright" ]; then
  if ! command -v npm >/dev/null; then
    echo "npm is not installed: playwright-core cannot be installed"
    exit 1
  fi
  mkdir -p "$build/browser"
  npm install --prefix "$build/browser" --no-audit --no-fund playwright-core >/dev/null 2>&1
fi
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j 2 --target pagoran gen_html_set_bench >/dev/null
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
printf '<html><body></body></html>\r\n' > "$scratch/empty.htm"
available_kb=$(awk '/^MemAvailable:/ { print $2 }' /proc/meminfo)

# Loads the files given, after the empty page, into $scratch/loads and prints their table.
# The empty page's time is the fixed cost taken off before the time per MB.
measure() {
  node "$top/bench/page_load_bench.js" "$playwright" "$browser" "$timeout" "$runs" \
      "$scratch/empty.htm" "$@" > "$scratch/loads"
  awk -F'\t' '
    NR == 1 { fixed = $4; printf "  fixed cost of a load (an empty page): %.2f s\n", fixed; next }
    {
      mb = $2 / 1048576
      if ($3 == "timeout") {
        printf "  %-16s %7.1f MB   no load event in time\n", $1, mb
      } else if (mb < 1) {
        printf "  %-16s %7.2f MB   load %6.2f s   laid out %6.2f s\n", $1, mb, $3, $4
      } else {
        printf "  %-16s %7.1f MB   load %6.2f s   laid out %6.2f s   %5.0f ms/MB\n", $1, mb, $3, $4,
               ($4 - fixed) * 1000 / mb
      }
    }' "$scratch/loads"
}

first=
first_slowest=
for p in ${@:-200 2000}; do
  if [ -d "$p" ]; then
    set_name="$(basename "$p")"
    work="$scratch/work_set"
    mkdir -p "$work/htm_in"
    find "$p" -maxdepth 1 -type f \( -name '*.htm' -o -name '*.html' \) \
        -exec cp -t "$work/htm_in" {} +
    label="$set_name ($(ls "$work/htm_in" | wc -l) pages)"
  else
    set_name=$p
    work="$scratch/work_$p"
    mkdir -p "$work"
    "$build/bench/gen_html_set_bench" "$p" "$work/htm_in" >/dev/null
    label="$p pages"
  fi
  cp "$build"/pagoran_01_149.exe "$build"/wget.exe "$work/"
  (cd "$work" && printf '11\n' | ./pagoran_01_149.exe >/dev/null)
  out="$work/htm_out"
  groups=$(ls "$out" | grep -c '^i_[0-9]*\.htm$')
  echo "== $label: $groups page groups"
  # Each group's pages (from its occurrence table) and the sizes of its two pages.
  for n in $(seq 1 "$groups"); do
    echo "$n $(cut -d, -f1 "$work/wrd_24/wrd_24_$n.txt" | uniq | wc -l)" \
         "$(stat -c %s "$out/i_$n.htm") $(stat -c %s "$out/s_$n.htm")"
  done > "$scratch/groups"
  awk '
    {
      printf "  group %-4d %5d pages   i_%d.htm %6.2f MB   s_%d.htm %6.2f MB\n", $1, $2, $1,
             $3 / 1048576, $1, $4 / 1048576
      for (f = 3; f <= 4; ++f) if ($2 > 1 && $f > 8 * 1048576) big = big " " (f == 3 ? "i_" : "s_") $1
    }
    END {
      print "  target, every i_N.htm and s_N.htm of a group of several pages at most 8 MB: " \
            (big ? "NOT MET:" big : "met")
    }' "$scratch/groups"
  loaded=${LOADED:-$([ "$groups" -le 10 ] && echo all || echo 3)}
  [ "$loaded" = all ] && loaded=$groups
  echo "  loaded: the largest decorated page, the $loaded largest i_N.htm and s_N.htm," \
       "index.htm, files_list.htm (fastest of $runs, timeout $timeout s a load)"
  pages=()
  for f in $(ls -S "$out"/page_*.htm | head -1) \
      $(ls -S "$out"/i_*.htm | head -"$loaded") $(ls -S "$out"/s_*.htm | head -"$loaded") \
      "$out"/{index,files_list}.htm; do
    need_kb=$(( $(stat -c %s "$f") * 55 / 1024 ))
    if [ "$need_kb" -gt "$available_kb" ]; then
      echo "  $(basename "$f"): not loaded, $(( $(stat -c %s "$f") >> 20 )) MB would need about" \
           "$(( need_kb >> 20 )) GiB of memory, $(( available_kb >> 20 )) GiB are available"
    else
      pages+=("$f")
    fi
  done
  measure "${pages[@]}"
  # The first line after the empty page's is the decorated page's.
  awk -F'\t' -v pages="$set_name" -v first="$first" -v first_slowest="$first_slowest" \
      -v history="$scratch/per_mb" -v slowest_file="$scratch/slowest" \
      -v targets="$([ "$p" = 200 ] || [ -d "$p" ] && echo 1)" -v folder="$([ -d "$p" ] && echo 1)" '
    NR == 1 { fixed = $4; next }
    NR == 2 {
      whole = $4
      per_mb = ($4 - fixed) / ($2 / 1048576)
      if (first != "" && pages != first && ((first, "decorated") in seen)) {
        printf "  %-16s %.2f times the time per MB of the largest decorated page for %s pages\n",
               $1, per_mb * 1000 / seen[first, "decorated"], first
      }
      print pages, "decorated", per_mb * 1000 >> history
      next
    }
    {
      mb = $2 / 1048576
      group_page = $1 ~ /^[is]_[0-9]+\.htm$/
      if ($3 == "timeout") {
        over = over " " $1
        if (group_page) { slow = slow " " $1; slowest = "timeout" }
        later = later " " $1
        next
      }
      if (group_page) {
        if ($4 >= 5) slow = slow " " $1
        if (slowest != "timeout" && $4 > slowest) { slowest = $4; slowest_name = $1 }
      }
      if ($4 > whole) later = later " " $1
      if (mb >= 1) {
        ratio = ($4 - fixed) / mb / per_mb
        printf "  %-16s %.2f times the decorated page'"'"'s time per MB\n", $1, ratio
        if (ratio > 1.5) over = over " " $1
      } else {
        printf "  %-16s %.2f times the decorated page'"'"'s whole time (under 1 MB)\n", $1, $4 / whole
        if ($4 > 1.5 * whole) over = over " " $1
      }
      if (mb >= 1 && !group_page) {
        ms = ($4 - fixed) * 1000 / mb
        if (first != "" && pages != first && ((first, $1) in seen)) {
          printf "  %-16s %.2f times the time per MB of the same page for %s pages\n", $1,
                 ms / seen[first, $1], first
        }
        print pages, $1, ms >> history
      }
    }
    BEGIN {
      while ((getline line < history) > 0) { split(line, f, " "); seen[f[1], f[2]] = f[3] }
    }
    END {
      if (slowest == "timeout") print "  slowest i_N.htm or s_N.htm: no load event in time"
      else printf "  slowest i_N.htm or s_N.htm: %s, laid out in %.2f s\n", slowest_name, slowest
      if (targets) {
        print "  target, each index page at most 1.5 times the decorated page per MB: " \
              (over ? "NOT MET:" over : "met")
        print "  target, every i_N.htm and s_N.htm laid out in under 5 s: " \
              (slow ? "NOT MET:" slow : "met")
      }
      if (folder) {
        print "  target, no index page slower than the largest decorated page: " \
              (later ? "NOT MET:" later : "met")
      }
      if (first_slowest != "" && !folder) {
        if (slowest == "timeout" || first_slowest == "timeout") {
          print "  target, slowest i_N.htm or s_N.htm within 1.3 times that for " first \
                " pages: NOT MET (no load event in time)"
        } else {
          ratio = slowest / first_slowest
          printf "  target, slowest i_N.htm or s_N.htm within 1.3 times that for %s pages: %s" \
                 " (%.2f times)\n", first, ratio <= 1.3 ? "met" : "NOT MET", ratio
        }
      }
      print slowest > slowest_file
    }' "$scratch/loads"
  if [ -n "$BEFORE" ]; then
    echo "  before blocks (the same pages without their <div> and </div> lines):"
    mkdir -p "$scratch/before"
    before=()
    for f in "${pages[@]}"; do
      case "$f" in */page_*) continue ;; esac
      grep -v -x -e $'<div>\r' -e $'</div>\r' "$f" > "$scratch/before/$(basename "$f")" || true
      before+=("$scratch/before/$(basename "$f")")
    done
    measure "${before[@]}"
  fi
  if [ -z "$first" ] && [ ! -d "$p" ]; then
    first=$p
    first_slowest=$(cat "$scratch/slowest")
  fi
  rm -rf "$work" "$scratch/before"
done
