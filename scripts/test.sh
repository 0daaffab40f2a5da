#!/bin/sh
# Builds everything and runs all tests; arguments go to ctest (-R NAME runs some). With
# SANITIZE=1, builds in build-asan with AddressSanitizer and UndefinedBehaviorSanitizer
# instead; with TSAN=1, in build-tsan with ThreadSanitizer.
set -e
cd "$(dirname "$0")/.."
./scripts/need.sh build tests browser
jobs=$(nproc 2>/dev/null || echo 2)
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
cmake --build "$dir" -j "$jobs"
# No tests at all means CMake did not find GoogleTest: that is a failure here.
ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$jobs" "$@"
