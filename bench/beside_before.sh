#!/bin/sh
# The line-rate benchmark of this build and of the build at REF, run in turn
# (this, before, this, before, ...) so that both meet the same machine, then
# each figure of this build beside the same figure of the build before.
#   bench/beside_before.sh REF BUILD [WRAPPER...]     e.g. WRAPPER bench/on_desktop.sh
# The build before is made from `git archive REF` in BUILD/before, laid out as
# this tree (sources, build/ inside), so ccache finds the objects that did not
# change. ROUNDS (default 2) runs of each; the exit status is this build's.
set -eu
ref=$1
build=$2
shift 2
before=$build/before
commit=$(git rev-parse "$ref^{commit}")
if [ "$(cat "$before/commit" 2>/dev/null)" != "$commit" ]; then
  rm -rf "$before"
  mkdir -p "$before"
  git archive "$commit" | tar -x -C "$before"
  cmake -S "$before" -B "$before/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELA_WERROR=OFF >/dev/null
  echo "$commit" >"$before/commit"
fi
cmake --build "$before/build" -j "${JOBS:-2}" --target bench_line_rate >/dev/null
runs=$(mktemp -d)
status=0
for round in $(seq "${ROUNDS:-2}"); do
  "$@" "$build/bench/bench_line_rate" >"$runs/this.$round" || status=1
  "$@" "$before/build/bench/bench_line_rate" >"$runs/before.$round" || true
done
python3 "$(dirname "$0")/beside_before.py" "$runs" "$(git rev-parse --short "$commit")"
rm -rf "$runs"
exit $status
