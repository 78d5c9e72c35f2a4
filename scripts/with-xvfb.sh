#!/usr/bin/env bash
# Runs a command on a private headless X server, then stops the server.
# Usage: with-xvfb.sh COMMAND [ARGS...]
set -uo pipefail

for n in $(seq 90 140); do
  [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ] || { display=":$n"; break; }
done
: "${display:?no free display number}"

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset -dpi 96 >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null' EXIT
for _ in $(seq 1 100); do
  DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && break
  sleep 0.05
done

export DISPLAY="$display"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
"$@"
