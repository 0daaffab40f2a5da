#!/bin/bash
# Peak memory and time of whole quillet runs on generated lists of each size (in MB, default
# 100 and 1000; bench/gen_quillet_list_bench.cc, kind KIND, default mixed), beside the limits:
# at most 64 MiB peak resident memory, and the largest list in no more than 12 times the time
# per MB of the smallest. A Release build (build-bench/) runs with scripted keys in a fresh
# work directory under /tmp (TMPDIR to choose another), deleted afterwards.
# Usage: [EXE=quillet.exe] [KIND=mixed] bench/quillet_memory.sh [MB ...]
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$top/build-bench"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j 2 --target quillet gen_quillet_list_bench >/dev/null
exe="$(realpath "${EXE:-$build/quillet_01_248.exe}")"
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing: apt-get install time" >&2; exit 2; }
sizes=(${@:-100 1000})
largest=$(printf '%s\n' "${sizes[@]}" | sort -n | tail -1)
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
# The list, its copies and work files take about 14 times its size on disk.
need_kb=$((largest * 1000 * 14))
free_kb=$(df -Pk "$scratch" | awk 'NR == 2 { print $4 }')
[ "$free_kb" -gt "$need_kb" ] || { echo "$((need_kb / 1000000)) GB free needed in" \
    "$scratch, $((free_kb / 1000000)) GB there" >&2; exit 2; }
export SOURCE_DATE_EPOCH=1720343103
failed=0
first_rate=
for mb in "${sizes[@]}"; do
  work="$scratch/work_$mb"
  mkdir -p "$work"
  cp "$exe" "$work/quillet_01_248.exe"
  cp "$build/wget.exe" "$work/"
  : > "$work/pagoran_01_149.exe"
  "$build/bench/gen_quillet_list_bench" $((mb * 1000000)) "$work/big.txt" "${KIND:-mixed}" \
      > "$scratch/list"
  sync
  # Start-up keys, the list (line 1), continue, and no hand-off.
  (cd "$work" && printf '111\n12' | VISUAL= EDITOR=true /usr/bin/time -f '%M %e' \
      -o "$scratch/rss" ./quillet_01_248.exe > "$scratch/console" 2>&1)
  read -r rss_kb wall < <(tail -1 "$scratch/rss")
  grep -q 'processed 100%' "$scratch/console" || { echo "$mb MB: the run did not end as it" \
      "should:"; tail -3 "$scratch/console"; failed=1; }
  verdict=within
  [ "$rss_kb" -le $((64 * 1024)) ] || { verdict=OVER; failed=1; }
  rate=$(awk -v w="$wall" -v m="$mb" 'BEGIN { printf "%.4f", w / m }')
  [ -n "$first_rate" ] || first_rate=$rate
  ratio=$(awk -v r="$rate" -v f="$first_rate" 'BEGIN { printf "%.2f", r / f }')
  echo "$mb MB list ($(sed 's/.*: //' "$scratch/list")): run $wall s, peak RSS" \
       "$((rss_kb / 1024)) MiB (limit 64 MiB: $verdict), $rate s/MB, $ratio times the" \
       "first size's time per MB"
  awk -v x="$ratio" 'BEGIN { exit !(x > 1.2) }' && { echo "  time grows faster than the list"; \
      failed=1; }
  rm -rf "$work"
done
exit $failed
