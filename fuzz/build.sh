#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# into build-fuzz/fuzz/fuzz_<name>. Needs clang and libFuzzer (Debian 12: clang and
# libclang-rt-14-dev). Run a target with fuzz/run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${FUZZ_BUILD_DIR:-build-fuzz}"
if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  echo "clang and libFuzzer are needed: apt-get install clang libclang-rt-14-dev" >&2
  exit 1
fi
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
  -DOMBREL_FUZZ=ON -DOMBREL_TESTS=OFF -DOMBREL_BENCH=OFF -DOMBREL_SANITIZE=ON \
  -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link" -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link"
cmake --build "$BUILD" --target fuzz_all -j"${FUZZ_JOBS:-4}"
