#!/usr/bin/env bash
# Set-up, then every test (no display and no network needed) except the soak
# test (label "soak", which runs for minutes; `ctest -L soak` runs it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
cd "$BUILD_DIR"
ctest --output-on-failure -j "${JOBS:-$(nproc)}" -LE soak "$@"
