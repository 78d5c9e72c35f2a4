#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# over its corpus in fuzz/corpus/NAME (new inputs found go to a scratch
# directory, not into the tree). Usage: fuzz.sh [BUILD_DIR] [SECONDS_PER_TARGET]
set -euo pipefail
build="${1:-build-fuzz}"
seconds="${2:-60}"
cd "$(dirname "$0")/.."

scripts/deps.sh  # clang and its fuzzer runtime among them

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DSTOCK_TESTS=OFF -DSTOCK_FUZZ=ON >/dev/null
targets=(fuzz_text fuzz_selection_state fuzz_selection_fetch)
cmake --build "$build" -j"${JOBS:-2}" --target "${targets[@]}"

status=0
for t in "${targets[@]}"; do
  scratch=$(mktemp -d)
  log="$build/$t.log"
  if "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$build/$t-" "$scratch" "fuzz/corpus/$t" >"$log" 2>&1; then
    result="no finding"
  else
    result="FINDING, see $log and $build/$t-*"
    status=1
  fi
  runs=$(grep -Eo 'Done [0-9]+ runs in [0-9]+ second' "$log" | tail -1 || true)
  echo "$t: ${runs:-no summary} - $result"
  rm -rf "$scratch"
done
exit $status
