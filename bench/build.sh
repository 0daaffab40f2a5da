#!/bin/sh
# Builds the benchmark mains and the three programs in a Release build (build-bench/, or the
# folder given); the default build and ./scripts/test.sh leave the benchmarks out.
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$top/build-bench}"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target benchmarks pagoran quillet cellorin
echo "benchmarks built in $build/bench"
