#!/usr/bin/env bash
# Runs a program (a test, a benchmark) in a headless sway session of its own,
# with a native window holding the focus: in-sway.sh PROGRAM [ARGS...]
set -uo pipefail
. "$(dirname "$0")/../tests/support/sway.sh"
trap stop_sway EXIT
start_sway || exit 1
start_native_window
"$@"
