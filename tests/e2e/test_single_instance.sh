#!/usr/bin/env bash
# One instance per user and display: a second start ends at once, whichever
# way it names the display, and a killed first instance never blocks the
# next start.
. "$(dirname "$0")/lib.sh"

start_program
first=$last_pid
[ "$(main_windows | wc -l)" -eq 1 ] || fail "one window expected"

# The same display as ":N", ":N.0" and "unix:N".
for display in "$DISPLAY" "$DISPLAY.0" "unix$DISPLAY"; do
  DISPLAY=$display timeout 10 "$STOCKKUN" >/dev/null 2>&1
  rc=$?
  [ $rc -eq 0 ] || fail "second start on $display exited $rc"
  [ "$(main_windows | wc -l)" -eq 1 ] || fail "the second start on $display added a window"
done
kill -0 "$first" 2>/dev/null || fail "the first instance is gone"
pass "second starts on $DISPLAY, $DISPLAY.0 and unix$DISPLAY exit 0 and add no window"

stop_pid "$first"
wait_until 5 no_main_window || fail "killed window stayed"
start_program
kill -0 "$last_pid" 2>/dev/null || fail "start after SIGKILL did not stay up"
pass "start after the first instance was killed"
