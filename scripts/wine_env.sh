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
  if [ -f "$WINEPREFIX/system.reg" ]; then
    wineboot </dev/null >/dev/null 2>&1
  else
    wineboot -i </dev/null >/dev/null 2>&1
  fi
}

stop_wine_server() {
  if [ -n "${wine_server_ours:-}" ]; then wineserver -k 2>/dev/null || true; fi
}
