#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds in build/ and runs every test; non-zero on any failure.
set -euo pipefail
STAVIO_ROOT="$(cd "$(dirname "$0")" && pwd)"
. "$STAVIO_ROOT/scripts/prepare.sh"
stavio_install_missing
# STAVIO_WARNINGS_AS_ERRORS=ON (as CI sets it) fails the build on any compiler warning.
stavio_build "$STAVIO_ROOT/build" -DSTAVIO_WARNINGS_AS_ERRORS="${STAVIO_WARNINGS_AS_ERRORS:-OFF}"
export QT_QPA_PLATFORM=offscreen
cd "$STAVIO_ROOT/build"
ctest --output-on-failure --timeout 300 -j "$(nproc)"
