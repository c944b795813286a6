#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets (clang) and runs each briefly; longer runs are done by hand.
# Usage: scripts/fuzz-smoke.sh [seconds per target, default 20] [build dir, default build-fuzz]
set -eu
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-20}
BUILD=${2:-build-fuzz}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DORV_WITH_QT=OFF -DORV_BENCH=OFF -DORV_TESTS=OFF -DORV_FUZZ=ON >/dev/null
cmake --build "$BUILD" -j2
status=0
for target in "$BUILD"/bin/fuzz_*; do
    [ -x "$target" ] || continue
    corpus=$(mktemp -d)
    echo "== $(basename "$target") for ${SECONDS_PER_TARGET}s"
    if ! "$target" -max_total_time="$SECONDS_PER_TARGET" -max_len=20000 -rss_limit_mb=2048 "$corpus" \
        >"$corpus.log" 2>&1; then
        tail -n 40 "$corpus.log"
        status=1
    fi
    rm -rf "$corpus" "$corpus.log"
done
exit $status
