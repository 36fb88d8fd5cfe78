#!/usr/bin/env bash
# Installs what the tests need, then builds the tests twice and runs them all, the X11 ones under
# a virtual X server: with AddressSanitizer and UndefinedBehaviorSanitizer (build-test), and
# optimised without sanitizers, the Release build users run (build-rel, which also builds the
# benchmarks). Last, the threaded tests under ThreadSanitizer (tools/tsan.sh). OMBREL_JOBS: how
# many compilers and tests run at once (default: one per processor).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${OMBREL_JOBS:-$(nproc)}"
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")
bash tools/deps.sh

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOMBREL_SANITIZE=ON -DOMBREL_BENCH=OFF \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1"
cmake --build build-test -j"$jobs"
"${xvfb[@]}" ctest --test-dir build-test --output-on-failure -j"$jobs" --timeout 600

cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DOMBREL_BENCH=ON
cmake --build build-rel -j"$jobs"
"${xvfb[@]}" ctest --test-dir build-rel --output-on-failure -j"$jobs" --timeout 600

# Under the virtual X server too, so the X11 backend's threaded tests run.
"${xvfb[@]}" bash tools/tsan.sh
