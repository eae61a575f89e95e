#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ and
# runs the whole test suite; any report fails the test that caused it.
set -euo pipefail
STAVIO_ROOT="$(cd "$(dirname "$0")" && pwd)"
. "$STAVIO_ROOT/scripts/prepare.sh"
stavio_install_missing
BUILD="$STAVIO_ROOT/build-asan"
STAVIO_BUILD_TYPE="${STAVIO_BUILD_TYPE:-RelWithDebInfo}" \
    stavio_build "$BUILD" -DSTAVIO_SANITIZE=ON -DSTAVIO_BUILD_BENCH=OFF

export QT_QPA_PLATFORM=offscreen
# Every leak counts, Qt's included: none is suppressed.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
cd "$BUILD"
ctest --output-on-failure --timeout 600 -j "$(nproc)"
