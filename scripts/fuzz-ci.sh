#!/usr/bin/env bash
# CI: every fuzz target for 30 s from its committed corpus (tools/fuzz.sh),
# after installing clang and libFuzzer when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(clang-14 libclang-rt-14-dev)
missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "fuzz-ci: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if ! command -v clang >/dev/null; then
  export PATH="/usr/lib/llvm-14/bin:$PATH"
fi

exec tools/fuzz.sh --time "${FUZZ_TIME:-30}" --jobs "${JOBS:-$(nproc)}" "$@"
