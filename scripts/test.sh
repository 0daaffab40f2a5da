#!/bin/sh
# Builds everything and runs all tests. With SANITIZE=1, builds in build-asan with
# AddressSanitizer and UndefinedBehaviorSanitizer instead.
set -e
cd "$(dirname "$0")/.."
./scripts/need.sh build tests browser
jobs=$(nproc 2>/dev/null || echo 2)
if [ "${SANITIZE:-0}" = 1 ]; then
  dir=build-asan
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON
else
  dir=build
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$dir" -j "$jobs"
# No tests at all means CMake did not find GoogleTest: that is a failure here.
ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$jobs"
