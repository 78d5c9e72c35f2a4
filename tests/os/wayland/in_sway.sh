#!/usr/bin/env bash
# Runs a test program in a headless sway session of its own, with a native
# window holding the focus: in_sway.sh PROGRAM [ARGS...]
set -uo pipefail
. "$(dirname "$0")/../../support/sway.sh"
trap stop_sway EXIT
start_sway || exit 1
start_native_window
"$@"
