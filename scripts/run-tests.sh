#!/usr/bin/env bash
# Every test: the core's, the Qt front end's and the end-to-end ones, on a
# headless X server of their own.
set -euo pipefail
build="${1:-build}"
cd "$(dirname "$0")/.."
exec scripts/with-xvfb.sh ctest --test-dir "$build" --output-on-failure
