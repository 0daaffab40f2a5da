# Sourced by the scripts that run the Windows build under Wine (test.sh, same_bytes.sh).
# Usage: . scripts/wine_env.sh; trap stop_wine_server EXIT; start_wine_server BUILD_DIR

# A prefix of the build's own (unless WINEPREFIX names one), quiet, without windows or menus
# of Wine's own, and one Wine server for the whole script. Left to itself the server exits a
# few seconds after its last program, and a program that starts just then loses its
# connection ("wine client error:0: recvmsg: Connection reset by peer") and fails for nothing
# of its own. Wine's services (services.exe and the rest) are started here with nothing open:
# they stay as long as the server, and if a test started them they would keep its output
# pipe, and ctest waiting. A server already running for the prefix is somebody's own (the
# calling script's, or the user's): it is used and left alone.
start_wine_server() {
  export WINEPREFIX="${WINEPREFIX:-$1/wineprefix}" WINEDEBUG=-all DISPLAY=
  export WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  if wineserver -p 2>/dev/null; then wine_server_ours=1; fi
  # wineboot fails now and then on a slow machine (a server still shutting down from the last
  # script); once more after a pause, and if it fails again, say so instead of ending a
  # caller's "set -e" without a word.
  boot_log="$WINEPREFIX/wineboot.log"
  boot_flag=
  [ -f "$WINEPREFIX/system.reg" ] || boot_flag=-i
  for attempt in 1 2; do
    if wineboot $boot_flag </dev/null >"$boot_log" 2>&1; then return 0; fi
    echo "wineboot${boot_flag:+ $boot_flag} failed (attempt $attempt):" && tail -5 "$boot_log"
    sleep 3
  done
  echo "Wine could not be started for $WINEPREFIX"
  return 1
}

stop_wine_server() {
  if [ -n "${wine_server_ours:-}" ]; then
    wineserver -k 2>/dev/null || true
    # -k only asks; the next script's server must not meet this one on its way out.
    wineserver -w 2>/dev/null || true
    wine_server_ours=
  fi
}
