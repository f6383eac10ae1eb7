#!/usr/bin/env bash
# Every benchmark of the project in one go, then one table of their figures:
#   bash bench/run-all.sh
# Builds once, runs each benchmark's own script (their human output shows as they go), and
# prints each figure beside its baseline measured in this run, the ratio, the goal and
# whether it is met. A missed goal is a finding: the exit code is 0. It is non-zero only
# when the build fails or a benchmark does not run to the end.
# Each benchmark's output and messages are kept in build/bench-results/<name>.log.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
BENCHMARKS=(download analytics toolkit)
RESULTS=build/bench-results
rm -rf "$RESULTS"
mkdir -p "$RESULTS"

echo "== building"
if ! bash tools/build.sh >"$RESULTS/build.log" 2>&1; then
  tail -n 40 "$RESULTS/build.log" >&2
  echo "build failed (log: $RESULTS/build.log)" >&2
  exit 1
fi
export LUMIVOX_BENCH_BUILT=1

for name in "${BENCHMARKS[@]}"; do
  echo
  echo "== $name benchmark"
  started=$SECONDS
  # The log gets everything; the screen gets the human lines (the RESULT lines make the table).
  bash "bench/$name/run.sh" </dev/null 2>&1 | tee "$RESULTS/$name.log" | grep -v $'^RESULT\t'
  code=${PIPESTATUS[0]}
  echo "$code" >"$RESULTS/$name.rc"
  grep $'^RESULT\t' "$RESULTS/$name.log" >"$RESULTS/$name.out"
  echo "($name: $((SECONDS - started)) s, exit code $code)"
done

echo
echo "== benchmark results (every baseline measured in this run; ratio = value / baseline)"
python3 bench/results.py table "$RESULTS" "${BENCHMARKS[@]}"
