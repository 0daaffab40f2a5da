#!/bin/sh
# The Windows indexer as a user meets it in a console: driven under Wine in a tmux terminal,
# in a work folder with a non-ASCII name. Checks that menu keys act without Enter and without
# echo, that the program's path and a refusal show the folder's name right, that progress
# lines appear while the run still goes on, and that Ctrl+C (at a prompt and mid-run) ends
# with STATUS_CONTROL_C_EXIT, one line saying so and no work files left.
# Usage: scripts/wine_console_test.sh BUILD_DIR   (exit 77: skipped, with the reason)
set -u
build=$(cd "$1" && pwd)
skip() {
  echo "skipped: $*"
  exit 77
}
command -v tmux >/dev/null 2>&1 || skip "tmux is not installed"
command -v wine >/dev/null 2>&1 || skip "wine is not installed"
[ -f "$build/pagoran_01_149.exe" ] || skip "$build/pagoran_01_149.exe is not built"
. "$(dirname "$0")/wine_env.sh"
start_wine_server "$build"

top=$(mktemp -d)
session="wine_console_$$"
folder="$top/Grüße"
failures=0
cleanup() {
  tmux kill-session -t "$session" 2>/dev/null
  stop_wine_server
  rm -rf "$top"
}
trap cleanup EXIT
mkdir -p "$folder/htm_in"
cp "$build/pagoran_01_149.exe" "$build/wget.exe" "$folder/"
# Enough pages for a run of some seconds under Wine, so that Ctrl+C comes in the middle.
i=1
while [ $i -le 1500 ]; do
  printf '<p>alpha beta gamma %d delta epsilon zeta eta theta</p>\n' $i >"$folder/htm_in/p$i.htm"
  i=$((i + 1))
done

fail() {
  echo "FAIL: $*"
  echo "---- screen:"
  tmux capture-pane -p -t "$session" | grep -v '^$' | tail -15
  failures=$((failures + 1))
}
screen() { tmux capture-pane -p -t "$session" -S -200; }
# wait_for TEXT SECONDS: true once the screen shows TEXT (and a moment more, for the program
# to go from printing the prompt to reading the key).
wait_for() {
  n=0
  while [ $n -lt $(($2 * 10)) ]; do
    if screen | grep -qF -- "$1"; then
      sleep 0.3
      return 0
    fi
    sleep 0.1
    n=$((n + 1))
  done
  return 1
}
# start DIR COMMAND: runs COMMAND under Wine in DIR in a fresh terminal; its status goes to
# $top/status.
start() {
  rm -f "$top/status"
  tmux kill-session -t "$session" 2>/dev/null
  tmux new-session -d -s "$session" -x 160 -y 50 \
    "cd '$1' && WINEPREFIX='$WINEPREFIX' WINEDEBUG=-all DISPLAY= WINEDLLOVERRIDES='$WINEDLLOVERRIDES' $2; echo \$? >'$top/status'; sleep 60"
}
status_within() {
  n=0
  while [ $n -lt $(($1 * 10)) ] && [ ! -s "$top/status" ]; do
    sleep 0.1
    n=$((n + 1))
  done
  cat "$top/status" 2>/dev/null
}
# Wine gives a Windows status to its Unix parent modulo 256: 0xC000013A becomes 58.
control_c_status=58
work_files_left() { (cd "$folder" && ls | grep -E '^(check_|dir_|page_|wrd_0|out_null)' | head -3); }

# 1. Ctrl+C at the first prompt; the path on the first line in UTF-8.
start "$folder" "wine pagoran_01_149.exe"
if wait_for "<2> no, end" 30; then
  screen | grep -qF 'Grüße\pagoran_01_149.exe' || fail "the program's path is not shown as UTF-8"
  tmux send-keys -t "$session" C-c
  [ "$(status_within 15)" = $control_c_status ] || fail "Ctrl+C at a prompt: status $(cat "$top/status" 2>/dev/null)"
  wait_for "Stopped; nothing was changed." 5 || fail "Ctrl+C at a prompt: no line saying so"
else
  fail "no first prompt"
fi

# 2. Keys without Enter and echo, progress while the run goes on, Ctrl+C mid-run.
start "$folder" "wine pagoran_01_149.exe"
if wait_for "<2> no, end" 30; then
  tmux send-keys -t "$session" 1
  wait_for "<1> continued" 10 || fail "the key 1 did not act without Enter"
  screen | grep -qx "1" && fail "the key was echoed"
  tmux send-keys -t "$session" 1
  if wait_for "web address for destination search" 60; then
    tmux send-keys -t "$session" Enter
    if wait_for "processed 1%" 60; then
      [ -s "$top/status" ] && fail "the progress line came only at the end"
      tmux send-keys -t "$session" C-c
      [ "$(status_within 30)" = $control_c_status ] || fail "Ctrl+C mid-run: status $(cat "$top/status" 2>/dev/null)"
      wait_for "Stopped: the run's work files are deleted" 5 || fail "Ctrl+C mid-run: no line saying so"
      [ -z "$(work_files_left)" ] || fail "Ctrl+C mid-run left work files: $(work_files_left)"
    else
      fail "no progress line"
    fi
  else
    fail "no address prompt"
  fi
else
  fail "no first prompt"
fi

# 3. A refusal that names the folder, on stderr, in one piece.
start "$top" "wine 'Grüße/pagoran_01_149.exe'"
[ "$(status_within 30)" = 2 ] || fail "started outside its folder: status $(cat "$top/status" 2>/dev/null)"
wait_for "not started in its own folder" 5 || fail "no refusal"
screen | grep -F "cd /d" | grep -qF 'Grüße' || fail "the refusal does not show the folder as UTF-8"

[ $failures -eq 0 ] && echo "wine console: all checks passed"
[ $failures -eq 0 ]
