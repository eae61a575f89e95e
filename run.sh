#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds in build/ and starts Stavio.
set -euo pipefail
STAVIO_ROOT="$(cd "$(dirname "$0")" && pwd)"
. "$STAVIO_ROOT/scripts/prepare.sh"
stavio_install_missing
stavio_build "$STAVIO_ROOT/build"
if [ -x "$STAVIO_ROOT/build/src/app/stavio" ]; then
    exec "$STAVIO_ROOT/build/src/app/stavio" "$@"
fi
exec "$STAVIO_ROOT/build/src/cli/stavio-cli" --help
