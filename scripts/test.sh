#!/bin/sh
# Builds the programs and the tests (or TARGETS; the benchmarks are built by bench/build.sh)
# and runs all tests; arguments go to ctest (-R NAME runs some). Skipped tests are listed at
# the end with the reasons they gave. With SANITIZE=1, builds in build-asan with
# AddressSanitizer and UndefinedBehaviorSanitizer instead; with TSAN=1, in build-tsan with
# ThreadSanitizer. With TARGET=windows, cross-builds the programs and tests for Windows with
# MinGW-w64 in build-windows, runs the tests under Wine, and then compares scripted runs of
# both builds (scripts/same_bytes.sh).
set -e
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

# ctest reports a skipped test without the reason the test printed; its log holds it.
skip_reasons() {
  awk '/: Skipped\r?$/ { reason = ""; grab = 1; next }
       grab && /^\[  SKIPPED \] / {
         sub(/\r$/, ""); sub(/ \([0-9]+ ms\)$/, "")
         print "skipped: " substr($0, 14) ": " (reason == "" ? "(no reason given)" : reason)
         grab = 0; next }
       grab { sub(/\r$/, ""); reason = reason (reason == "" ? "" : " ") $0 }' \
    "$1/Testing/Temporary/LastTest.log" 2>/dev/null || true
}
# run_tests DIR CTEST_ARGS...: ctest, then the reasons of the skipped tests.
run_tests() {
  test_dir=$1
  shift
  status=0
  ctest --test-dir "$test_dir" --output-on-failure --no-tests=error -j "$jobs" "$@" || status=$?
  skip_reasons "$test_dir"
  return $status
}
if [ "${TARGET:-linux}" = windows ]; then
  ./scripts/need.sh build tests windows
  dir=build-windows
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
  . ./scripts/wine_env.sh
  trap stop_wine_server EXIT
  start_wine_server "$PWD/$dir"
  cmake --build "$dir" -j "$jobs"
  run_tests "$dir" "$@"
  # The indexer in a terminal under Wine, as a user meets it (exit 77: skipped, reason said).
  ./scripts/wine_console_test.sh "$dir" || [ $? = 77 ]
  # The Linux programs, for the comparison (already built where the Linux tests ran).
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j "$jobs" --target pagoran pagoran_small_groups quillet cellorin
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
# TARGETS="a b" builds only those targets (the tests that -R picks must be among them);
# otherwise the default build: the programs and the tests, without the benchmarks.
cmake --build "$dir" -j "$jobs" ${TARGETS:+--target $TARGETS}
# No tests at all means CMake did not find GoogleTest: that is a failure here.
run_tests "$dir" "$@"
