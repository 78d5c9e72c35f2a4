#!/usr/bin/env bash
# Runs every benchmark on a headless X server of its own and prints their
# figures. With "quick", each runs once with small counts, only to show that
# it still runs (make test does this): its figures mean nothing then.
# A benchmark that fails is named, the others still run, and the status is 1.
# Usage: run-bench.sh [BUILD-DIR] [quick]
set -uo pipefail
build="${1:-build}"
mode="${2:-full}"
cd "$(dirname "$0")/.." || exit 2
case "$mode" in
  full | quick) ;;
  *) echo "usage: run-bench.sh [BUILD-DIR] [quick]" >&2; exit 2 ;;
esac
[ -x "$build/bench/startup_bench" ] || { echo "no benchmarks in $build: configure it with -DSTOCK_BENCH=ON" >&2; exit 2; }
[ -n "${STOCK_BENCH_XVFB:-}" ] || STOCK_BENCH_XVFB=1 exec scripts/with-xvfb.sh scripts/run-bench.sh "$@"

if [ "$mode" = quick ]; then
  starts=1 entries=1000 min_time=0.01 copies=2 idle_ticks=2 burst=20 text_mib=2 rows=2000 long_line=
else
  starts=10 entries=100000 min_time=0.5 copies=20 idle_ticks=60 burst=200 text_mib=50 rows=100000 long_line=--long-line
fi
failed=()
run() {
  local name=$1 start=$SECONDS
  shift
  "$@" || { echo "FAILED: $name (status $?)"; failed+=("$name"); }
  echo "($name: $((SECONDS - start)) s)"
}
b="$build/bench"
program="$build/stockkun"
run startup "$b/startup_bench" "$program" "$starts"
# The kept history; then a start of the program over the store it leaves.
run kept_history "$b/kept_history_bench" "$entries" "$text_mib"
kept=$(mktemp -d)
run kept_fill "$b/kept_history_bench" "$entries" 0 "$kept"
echo "start with $entries kept entries:"
XDG_STATE_HOME=$kept run startup_kept "$b/startup_bench" "$program" "$starts"
rm -rf "$kept"
run history "$b/history_bench" "$entries"
run filter "$b/filter_bench" "$entries" "$text_mib"
run clipboard_read "$b/clipboard_read_bench" --benchmark_min_time="$min_time"
run clipboard_latency "$b/clipboard_latency_bench" "$copies" 10
run clipboard_idle "$b/clipboard_idle_bench" "$program" "$idle_ticks"
# The same two in a Wayland session, through the compositor's clipboard.
run wayland_latency scripts/in-sway.sh "$b/clipboard_latency_bench" "$copies" 10
run wayland_idle scripts/in-sway.sh "$b/clipboard_idle_bench" "$program" "$idle_ticks"
run clipboard_burst "$b/clipboard_burst_bench" "$burst"
run reader_memory "$b/reader_memory_bench" "$text_mib"
run edit "$b/edit_bench" "$text_mib" "$rows"
run text_memory bench/text_memory_bench.sh "$program" "$text_mib"
run display "$b/display_bench" $long_line
[ ${#failed[@]} -eq 0 ] || { echo "benchmarks that failed: ${failed[*]}"; exit 1; }

