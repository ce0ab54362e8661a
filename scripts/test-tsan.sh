#!/usr/bin/env bash
# The threading tests under ThreadSanitizer: the loader's start, stop, pause
# and monitor (control), the loading context and downloads (station), threads,
# named locks, the message loop and the download cache (platform).
# Environment: BUILD_DIR (default build-tsan), JOBS (default: number of cores).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-tsan}
JOBS=${JOBS:-$(nproc)}
# Without Qt: these tests never start the desktop viewer, and compiling it
# under the sanitizer would only lengthen the run.
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPANORA_SANITIZE=thread \
  -DPANORA_BUILD_BENCH=OFF -DPANORA_WITH_QT=OFF >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS" --target test_control test_station test_platform
# Reports from GLib, fontconfig and Pango (not built with the sanitizer) are
# suppressed; any other report ends the test at once.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp"
cd "$BUILD_DIR"
ctest --output-on-failure -j "$JOBS" -L '^(control|station|platform)$' "$@"
