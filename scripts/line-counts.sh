#!/usr/bin/env bash
# Prints the lines of the .h/.cpp files under src/ and under tests/, and the
# ratio the project keeps between them (tests/src, between 0.25 and 0.40).
set -eu
cd "$(dirname "$0")/.."
count() { find "$1" \( -name '*.h' -o -name '*.cpp' \) -print0 | xargs -0 cat | wc -l; }
src=$(count src)
tests=$(count tests)
echo "src:   $src lines"
echo "tests: $tests lines"
awk -v t="$tests" -v s="$src" 'BEGIN { printf "ratio: %.2f\n", t / s }'
