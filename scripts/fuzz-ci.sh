#!/usr/bin/env bash
# CI: every fuzz target for 30 s from its committed corpus (tools/fuzz.sh),
# after installing clang and libFuzzer when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(clang-14 libclang-rt-14-dev)
scripts/install-packages.sh "${PACKAGES[@]}"
if ! command -v clang >/dev/null; then
  export PATH="/usr/lib/llvm-14/bin:$PATH"
fi

exec tools/fuzz.sh --time "${FUZZ_TIME:-30}" --jobs "${JOBS:-$(nproc)}" "$@"
