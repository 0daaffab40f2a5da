#!/bin/sh
# Builds everything and runs all tests. With SANITIZE=1, builds in build-asan with
# AddressSanitizer and UndefinedBehaviorSanitizer instead.
set -e
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
if [ "${SANITIZE:-0}" = 1 ]; then
  dir=build-asan
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON
else
  dir=build
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$dir" -j "$jobs"
ctest --test-dir "$dir" --output-on-failure -j "$jobs"
