#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang in build-fuzz/ and runs each for SECONDS (default 60).
# Fails when any target finds a crash, a hang, a leak or a broken rule; the input that did it
# is kept in build-fuzz/findings/<target>/.
set -euo pipefail
STAVIO_ROOT="$(cd "$(dirname "$0")" && pwd)"
DURATION="${1:-60}"
BUILD="$STAVIO_ROOT/build-fuzz"
TARGETS="line_reader project_file settings folder_names short_names"

. "$STAVIO_ROOT/scripts/prepare.sh"
STAVIO_PACKAGES="cmake ninja-build clang-14 libclang-rt-14-dev"
stavio_install_missing

CLANG_CXX="${STAVIO_FUZZ_CXX:-$(command -v clang++-14 || command -v clang++ || true)}"
if [ -z "$CLANG_CXX" ]; then
    echo "fuzz.sh: clang++ not found (sudo apt-get install -y clang libclang-rt-14-dev)" >&2
    exit 1
fi

cmake -S "$STAVIO_ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER="$CLANG_CXX" \
    -DSTAVIO_FUZZ=ON -DSTAVIO_BUILD_GUI=OFF -DSTAVIO_BUILD_TESTS=OFF -DSTAVIO_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" --parallel "$(nproc)" --target $(printf 'fuzz_%s ' $TARGETS)

# The files the targets write live here (in memory when possible: the settings and project
# files are flushed on every save) and go at the end.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR="$(mktemp -d /dev/shm/stavio-fuzz.XXXXXX)"
else
    export TMPDIR="$(mktemp -d "$BUILD/tmp.XXXXXX")"
fi
trap 'rm -rf "$TMPDIR"' EXIT
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"

failed=""
for target in $TARGETS; do
    corpus="$BUILD/corpus/$target"     # grows from run to run; the seeds stay untouched
    findings="$BUILD/findings/$target"
    mkdir -p "$corpus" "$findings"
    echo "=== fuzz_$target: ${DURATION} s"
    if ! "$BUILD/fuzz/fuzz_$target" "$corpus" "$STAVIO_ROOT/fuzz/corpus/$target" \
        -max_total_time="$DURATION" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$findings/" -print_final_stats=1 >"$BUILD/fuzz_$target.log" 2>&1; then
        echo "fuzz_$target: FINDING (see $BUILD/fuzz_$target.log and $findings/)" >&2
        tail -n 40 "$BUILD/fuzz_$target.log" >&2
        failed="$failed $target"
    else
        grep -E '^stat::number_of_executed_units|^Done' "$BUILD/fuzz_$target.log" || true
    fi
done

if [ -n "$failed" ]; then
    echo "fuzz.sh: findings in:$failed" >&2
    exit 1
fi
echo "fuzz.sh: no findings"
