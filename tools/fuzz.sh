#!/usr/bin/env bash
# Runs the libFuzzer targets of tests/fuzz: builds build-fuzz (clang,
# PANORA_FUZZ=ON) when needed, then runs each named target (all without
# names) for the given time on one core, starting from a scratch copy of its
# committed corpus (tests/fuzz/corpus/<target>/), which is never grown here.
#
#   tools/fuzz.sh [--time SECONDS] [--jobs N] [TARGET...]
#
# Environment: FUZZ_BUILD_DIR (default build-fuzz), FUZZ_RSS_MB (memory
# limit per input, default 2048), FUZZ_TIMEOUT (seconds per input, default
# 10), FUZZ_OUT (where each run's log, new corpus and crash inputs are kept;
# default a fresh folder under /tmp). Exits non-zero when any target finds a
# crash, a leak, a time-out or undefined behaviour.
set -euo pipefail
cd "$(dirname "$0")/.."

time_s=60
jobs=2
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --time) time_s="$2"; shift 2 ;;
    --jobs) jobs="$2"; shift 2 ;;
    -h|--help) sed -n '2,14p' "$0"; exit 0 ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
all=(fuzz_description fuzz_pointfile fuzz_ini fuzz_resources fuzz_image fuzz_defaults fuzz_markup fuzz_ptx)
if [ ${#targets[@]} -eq 0 ]; then
  targets=("${all[@]}")
fi

build=${FUZZ_BUILD_DIR:-build-fuzz}
if [ ! -f "$build/CMakeCache.txt" ]; then
  launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPANORA_FUZZ=ON -DPANORA_BUILD_TESTS=OFF -DPANORA_BUILD_BENCH=OFF -DPANORA_WITH_QT=OFF \
    "${launcher[@]}" >/dev/null
fi
if ! cmake --build "$build" -j "$jobs" --target "${targets[@]}" >"$build/fuzz-build.log" 2>&1; then
  tail -n 60 "$build/fuzz-build.log" >&2
  echo "fuzz.sh: the build failed (log $build/fuzz-build.log)" >&2
  exit 1
fi

out=${FUZZ_OUT:-$(mktemp -d /tmp/panora-fuzz-run.XXXXXX)}
mkdir -p "$out"
status=0
for t in "${targets[@]}"; do
  corpus="$out/$t/corpus"
  mkdir -p "$corpus" "$out/$t/artifacts"
  if [ -d "tests/fuzz/corpus/$t" ]; then
    cp -r "tests/fuzz/corpus/$t/." "$corpus/"
  fi
  dict=()
  if [ -f "tests/fuzz/$t.dict" ]; then
    dict=(-dict="tests/fuzz/$t.dict")
  fi
  echo "fuzz.sh: $t for ${time_s} s (log $out/$t/log.txt)"
  if ! nice "$build/fuzz/$t" "$corpus" "${dict[@]}" -max_total_time="$time_s" \
      -rss_limit_mb="${FUZZ_RSS_MB:-2048}" -timeout="${FUZZ_TIMEOUT:-10}" \
      -print_final_stats=1 -artifact_prefix="$out/$t/artifacts/" >"$out/$t/log.txt" 2>&1; then
    echo "fuzz.sh: $t FAILED; the input is in $out/$t/artifacts/" >&2
    tail -n 40 "$out/$t/log.txt" >&2
    status=1
  fi
  grep -E "^stat::number_of_executed_units|^#[0-9]+.*(DONE|cov:)" "$out/$t/log.txt" | tail -n 2 || true
done
exit $status
