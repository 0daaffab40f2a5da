#!/bin/sh
# Makes a work directory holding the three programs and wget.exe, as each program expects.
# Usage: scripts/new_workdir.sh DIR   (builds first if needed)
set -e
[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
top="$(cd "$(dirname "$0")/.." && pwd)"
if [ ! -x "$top/build/pagoran_01_149.exe" ]; then
  "$top/scripts/need.sh" build
  # Only the programs: a work directory needs neither the tests nor the benchmarks.
  echo "building the programs in $top/build (a minute or two)"
  cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$top/build" -j "$(nproc 2>/dev/null || echo 2)" \
    --target pagoran quillet cellorin
fi
mkdir -p "$1"
for f in pagoran_01_149.exe quillet_01_248.exe cellorin_083.exe wget.exe; do
  cp "$top/build/$f" "$1/"
done
echo "work directory ready: $1"
