#!/bin/sh
# Builds everything (or TARGETS) and runs all tests; arguments go to ctest (-R NAME runs
# some). With SANITIZE=1, builds in build-asan with AddressSanitizer and UndefinedBehaviorSanitizer
# instead; with TSAN=1, in build-tsan with ThreadSanitizer. With TARGET=windows, cross-builds
# the programs and tests for Windows with MinGW-w64 in build-windows, runs the tests under
# Wine, and then compares scripted runs of both builds (scripts/same_bytes.sh).
set -e
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
if [ "${TARGET:-linux}" = windows ]; then
  ./scripts/need.sh build tests windows
  dir=build-windows
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
  # A Wine prefix of the build's own, quiet and without windows of Wine's own.
  export WINEPREFIX="${WINEPREFIX:-$PWD/$dir/wineprefix}" WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml="
  # One Wine server for the whole run. Left to itself it exits a few seconds after its last
  # program, and a test that starts just then loses its connection ("wine client error:0:
  # recvmsg: Connection reset by peer") and fails for nothing of its own. Wine's services
  # (services.exe and the rest) are started here with nothing open: they stay as long as the
  # server, and if a test started them they would keep its output pipe, and ctest waiting.
  # (A server already running for the prefix is somebody's own: it is used and left alone.)
  mkdir -p "$WINEPREFIX"
  if wineserver -p 2>/dev/null; then trap 'wineserver -k 2>/dev/null || true' EXIT; fi
  [ -f "$WINEPREFIX/system.reg" ] && boot= || boot=-i
  DISPLAY= wineboot $boot </dev/null >/dev/null 2>&1
  cmake --build "$dir" -j "$jobs"
  DISPLAY= ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$jobs" "$@"
  # The Linux programs, for the comparison (already built where the Linux tests ran).
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j "$jobs" --target pagoran quillet cellorin
  ./scripts/same_bytes.sh
  exit
fi
./scripts/need.sh build tests browser
if [ "${SANITIZE:-0}" = 1 ]; then
  dir=build-asan
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON
elif [ "${TSAN:-0}" = 1 ]; then
  dir=build-tsan
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTSAN=ON
else
  dir=build
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
# TARGETS="a b" builds only those targets (the tests that -R picks must be among them).
cmake --build "$dir" -j "$jobs" ${TARGETS:+--target $TARGETS}
# No tests at all means CMake did not find GoogleTest: that is a failure here.
ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$jobs" "$@"
