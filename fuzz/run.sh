#!/usr/bin/env bash
# Fuzzes one target for a while: fuzz/run.sh NAME [SECONDS] [extra libFuzzer flags...]
# One process (the machine may be shared); new inputs gather in build-fuzz/corpus/NAME, seeded
# from the committed fuzz/corpus/NAME, and findings land in build-fuzz/findings/NAME/.
# Add an input worth keeping to fuzz/corpus/NAME by hand (small, and minimised with -minimize_crash
# or -merge=1).
set -euo pipefail
cd "$(dirname "$0")/.."
name="$1"
seconds="${2:-600}"
shift $(( $# >= 2 ? 2 : 1 ))
BUILD="${FUZZ_BUILD_DIR:-build-fuzz}"
work="$BUILD/corpus/$name"
findings="$BUILD/findings/$name"
mkdir -p "$work" "$findings"
export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp"
export UBSAN_OPTIONS="print_stacktrace=1"
exec "$BUILD/fuzz/fuzz_$name" "$work" "fuzz/corpus/$name" -max_total_time="$seconds" -timeout=30 \
  -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$findings/" "$@"
