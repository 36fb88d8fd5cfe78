#!/usr/bin/env bash
# Installs what the tests need, builds them with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs them all (the X11 ones under a virtual X server). OMBREL_JOBS: how many compilers and
# tests run at once (default: one per processor).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${OMBREL_JOBS:-$(nproc)}"
bash tools/deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOMBREL_SANITIZE=ON -DOMBREL_BENCH=ON \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1"
cmake --build build-test -j"$jobs"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build-test --output-on-failure -j"$jobs" --timeout 600
# Under the virtual X server too, so the X11 backend's threaded tests run.
xvfb-run -a -s "-screen 0 1280x1024x24" bash tools/tsan.sh
