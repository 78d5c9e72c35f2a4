#!/usr/bin/env bash
# One instance per user and display: a second start ends at once, and a
# killed first instance never blocks the next start.
. "$(dirname "$0")/lib.sh"

start_program
first=$last_pid
[ "$(main_windows | wc -l)" -eq 1 ] || fail "one window expected"

timeout 10 "$STOCKKUN" >/dev/null 2>&1
rc=$?
[ $rc -eq 0 ] || fail "second start exited $rc"
sleep 0.5
[ "$(main_windows | wc -l)" -eq 1 ] || fail "the second start added a window"
kill -0 "$first" 2>/dev/null || fail "the first instance is gone"
pass "second start exits 0 and adds no window"

kill -9 "$first"
wait "$first" 2>/dev/null
wait_until 5 no_main_window || fail "killed window stayed"
start_program
kill -0 "$last_pid" 2>/dev/null || fail "start after SIGKILL did not stay up"
pass "start after the first instance was killed"
