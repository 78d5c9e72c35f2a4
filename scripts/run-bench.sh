#!/usr/bin/env bash
# Runs the benchmarks on a headless X server of their own.
set -euo pipefail
build="${1:-build}"
cd "$(dirname "$0")/.."
scripts/with-xvfb.sh bash -c "
  set -e
  '$build/bench/startup_bench' '$build/stockkun' 10
  '$build/bench/history_bench' 100000
  '$build/bench/clipboard_read_bench'
  '$build/bench/clipboard_latency_bench'
  '$build/bench/clipboard_idle_bench' '$build/stockkun' 60
  '$build/bench/clipboard_burst_bench' '$build/stockkun'
  '$build/bench/reader_memory_bench'
  '$build/bench/edit_bench'
  bench/text_memory_bench.sh '$build/stockkun'
"
