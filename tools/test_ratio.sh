#!/usr/bin/env bash
# Prints the lines of code (src/ and apps/ .h/.cpp files tracked by git), the
# lines of tests (tests/ .h/.cpp/.js/.py/.sh files tracked by git) and their
# ratio. Exits 1 when the ratio is above the maximum (0.33, or --max R).
set -euo pipefail

max=0.33
while [[ $# -gt 0 ]]; do
    case "$1" in
        --max)
            [[ $# -ge 2 ]] || { echo "usage: $0 [--max RATIO]" >&2; exit 2; }
            max="$2"
            shift 2
            ;;
        --max=*)
            max="${1#--max=}"
            shift
            ;;
        -h | --help)
            echo "usage: $0 [--max RATIO]"
            exit 0
            ;;
        *)
            echo "usage: $0 [--max RATIO]" >&2
            exit 2
            ;;
    esac
done
if ! [[ "$max" =~ ^[0-9]+([.][0-9]+)?$ ]]; then
    echo "$0: --max wants a number, got '$max'" >&2
    exit 2
fi

cd "$(git -C "$(dirname "$0")" rev-parse --show-toplevel)"

count_lines() {
    # Sums the lines of the tracked files given as NUL-separated names on stdin.
    xargs -0 -r cat -- | wc -l
}

code=$(git ls-files -z -- 'src/*.h' 'src/*.cpp' 'apps/*.h' 'apps/*.cpp' | count_lines)
tests=$(git ls-files -z -- 'tests/*.h' 'tests/*.cpp' 'tests/*.js' 'tests/*.py' 'tests/*.sh' |
    count_lines)

if [[ "$code" -eq 0 ]]; then
    echo "$0: no code lines found under src/ and apps/" >&2
    exit 2
fi

ratio=$(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.2f", t / c }')
echo "code lines:  $code"
echo "test lines:  $tests"
echo "ratio:       $ratio (max $max)"
# Compare the exact ratio, not the rounded one.
if awk -v t="$tests" -v c="$code" -v m="$max" 'BEGIN { exit !(t / c > m) }'; then
    echo "test lines are above $max of the code" >&2
    exit 1
fi
