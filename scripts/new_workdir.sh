#!/bin/sh
# Makes a work folder for each program under DIR, holding what each one expects:
#   DIR/pagoran   pagoran_01_149.exe and wget.exe (put the pages to index into htm_in here)
#   DIR/quillet   quillet_01_248.exe, the indexer its hand-off copies, and wget.exe
#   DIR/cellorin  cellorin_083.exe and wget.exe
# Each program deletes work files of its own kind in its folder, and the indexer's would
# take the others' lists and pages, so they never share one.
# Usage: scripts/new_workdir.sh DIR   (builds first if needed; works from any folder)
set -e
[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
top="$(cd "$(dirname "$0")/.." && pwd)"
if [ ! -x "$top/build/pagoran_01_149.exe" ] || [ ! -x "$top/build/quillet_01_248.exe" ] ||
  [ ! -x "$top/build/cellorin_083.exe" ]; then
  "$top/scripts/need.sh" build
  # Only the programs: a work directory needs neither the tests nor the benchmarks.
  echo "building the programs in $top/build (a minute or two)"
  cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$top/build" -j "$(nproc 2>/dev/null || echo 2)" \
    --target pagoran quillet cellorin
fi
# put FOLDER PROGRAM...: the folder with those programs and wget.exe.
put() {
  folder=$1
  shift
  mkdir -p "$folder"
  for f in "$@" wget.exe; do cp "$top/build/$f" "$folder/"; done
}
put "$1/pagoran" pagoran_01_149.exe
put "$1/quillet" quillet_01_248.exe pagoran_01_149.exe
put "$1/cellorin" cellorin_083.exe
echo "work folders ready: $1/pagoran, $1/quillet, $1/cellorin"
