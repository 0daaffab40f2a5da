#!/bin/sh
# Runs the same scripted sessions of the three programs with the Linux build (build/) and the
# Windows build under Wine (build-windows/), and compares what they leave: every file byte for
# byte, and the transcripts (standard output, standard error, exit status) but for their first
# line, which shows argument zero as started. Ends with status 1 on any difference.
# The indexer runs twice: the program on the samples and the extra pages, and its test build
# pagoran_small_groups.exe (page groups of at most 40 occurrences) on the samples and the pages
# of the groups case, which makes many page groups.
# Usage: scripts/same_bytes.sh [PAGE ...]   (extra HTML pages for the indexer; by default a
#        few from /usr/share/doc where the system has them)
set -e
# Everything on standard output, so that a log that keeps only that one shows why it failed.
exec 2>&1
top="$(cd "$(dirname "$0")/.." && pwd)"
linux="$top/build"
windows="$top/build-windows"
for exe in pagoran_01_149.exe pagoran_small_groups.exe quillet_01_248.exe cellorin_083.exe; do
  for dir in "$linux" "$windows"; do
    [ -f "$dir/$exe" ] || { echo "missing $dir/$exe: build both first" >&2; exit 2; }
  done
done
. "$top/scripts/wine_env.sh"
export SOURCE_DATE_EPOCH=1720343103
unset TMUX VISUAL
scratch=$(mktemp -d)
trap 'status=$?; rm -rf "$scratch"; stop_wine_server
  [ $status = 0 ] || echo "same_bytes.sh: ended with status $status"' EXIT
start_wine_server "$windows"

if [ $# -eq 0 ]; then
  for page in /usr/share/doc/base-passwd/users-and-groups.html \
    /usr/share/doc/libffi8/html/Introduction.html /usr/share/doc/libffi8/html/Types.html; do
    [ -f "$page" ] && set -- "$@" "$page"
  done
fi

# A work folder for each build, as a user makes one: the program, wget.exe (and for quillet
# the indexer it hands its pages to) and the session's input. The indexer refuses a folder
# that holds quillet or cellorin.
# Usage: prepare SESSION PROGRAM BUILD_DIR [PAGE ...]
prepare() {
  work="$scratch/$1/$(basename "$3")"
  session_name=$1
  mkdir -p "$work"
  for f in "$2" wget.exe $([ "$1" = quillet ] && echo pagoran_01_149.exe); do
    cp "$3/$f" "$work/"
  done
  shift 3
  case $session_name in
    pagoran | pagoran_groups)
      mkdir -p "$work/htm_in"
      cp "$top"/samples/htm_in/* "$work/htm_in/"
      # A name beyond ASCII: UTF-8 inside the programs, UTF-16 at Windows' calls.
      cp "$top/samples/htm_in/report.htm" "$work/htm_in/Übersicht_ünd_日本.htm"
      for page in "$@"; do cp "$page" "$work/htm_in/"; done
      ;;
    quillet)
      cp "$top/samples/garden.txt" "$work/"
      mkdir -p "$work/pagoran/htm_in"
      ;;
  esac
}

# Runs PROGRAM of the session with KEYS in both folders and compares them.
# Usage: session NAME PROGRAM KEYS [PAGE ...]
failed=0
session() {
  name=$1 program=$2 keys=$3
  shift 3
  prepare "$name" "$program" "$linux" "$@"
  prepare "$name" "$program" "$windows" "$@"
  printf '%b' "$keys" >"$scratch/$name/keys"
  (cd "$scratch/$name/build" && EDITOR=true env -u DISPLAY "./$program" <"../keys" \
    >../linux.out 2>../linux.err;
    echo "status $?" >>../linux.err)
  # cmd's "rem" is the editor that leaves the list as it is, as "true" does on Linux.
  (cd "$scratch/$name/build-windows" && EDITOR="cmd /c rem" wine "./$program" <"../keys" \
    >../windows.out 2>../windows.err; echo "status $?" >>../windows.err)
  for f in out err; do
    tail -n +2 "$scratch/$name/linux.$f" >"$scratch/$name/linux.$f.rest"
    tail -n +2 "$scratch/$name/windows.$f" >"$scratch/$name/windows.$f.rest"
  done
  # The programs differ, and so do the lines of the tool check's listings that name them,
  # the folder, or their total size: those lines are left out of the listings compared.
  for side in build build-windows; do
    for f in "$scratch/$name/$side"/check_*.txt; do
      [ -f "$f" ] || continue
      grep -v -e 'Directory of' -e '\.exe' -e 'File(s)' "$f" >"$f.tmp" || true
      mv "$f.tmp" "$f"
    done
  done
  if diff -r -x '*.exe' "$scratch/$name/build" "$scratch/$name/build-windows" >"$scratch/$name/diff" &&
    cmp -s "$scratch/$name/linux.out.rest" "$scratch/$name/windows.out.rest" &&
    cmp -s "$scratch/$name/linux.err" "$scratch/$name/windows.err"; then
    count=$(cd "$scratch/$name/build" && find . -type f ! -name '*.exe' | wc -l)
    echo "$name: same bytes ($count files, $(wc -l <"$scratch/$name/linux.out") transcript lines)"
  else
    echo "$name: the builds differ" >&2
    cat "$scratch/$name/diff" >&2
    diff "$scratch/$name/linux.out.rest" "$scratch/$name/windows.out.rest" >&2 || true
    diff "$scratch/$name/linux.err" "$scratch/$name/windows.err" >&2 || true
    failed=1
  fi
}

session pagoran pagoran_01_149.exe '11shop.example.org\n' "$@"
session pagoran_groups pagoran_small_groups.exe '11shop.example.org\n' \
  "$top"/tests/cases/pagoran/groups/in/htm_in/*
session quillet quillet_01_248.exe '111\n1112'
session cellorin cellorin_083.exe '11b\nd\n3\nh\n'
exit $failed
