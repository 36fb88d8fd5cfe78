#!/usr/bin/env bash
# Builds the threaded tests of base/, platform/ and the task component with ThreadSanitizer in
# a build dir of its own and runs them. OMBREL_JOBS: how many compilers run at once.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${OMBREL_JOBS:-$(nproc)}"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOMBREL_TSAN=ON -DOMBREL_BENCH=OFF \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1"
cmake --build build-tsan -j"$jobs" --target tsan_tests
ctest --test-dir build-tsan --output-on-failure --timeout 600
