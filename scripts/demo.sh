#!/bin/sh
# Builds the suite and indexes the bundled sample pages (samples/htm_in) in a fresh work
# directory, answering the indexer's questions from a script.
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
work="$top/work_demo"
rm -rf "$work"
"$top/scripts/new_workdir.sh" "$work"
cp -r "$top/samples/htm_in" "$work/pagoran/htm_in"
cd "$work/pagoran"
# Keys: 1 accepts the terms, 1 continues; then the typed target address (here none).
printf '11\n' | ./pagoran_01_149.exe
echo
echo "Indexed pages are in $work/pagoran/htm_out (open $work/pagoran/htm_out/files_list.htm in a browser)."
