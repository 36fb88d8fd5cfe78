#!/usr/bin/env bash
# Installs what the program needs, builds it and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DOMBREL_TESTS=OFF -DOMBREL_BENCH=OFF
cmake --build build --target ombrel
exec ./build/ombrel "$@"
