#!/usr/bin/env bash
# The Windows program under Wine on the X server named by DISPLAY, driven
# from outside: its main window with the exact title, a second start that
# ends with status 0 and shows nothing, a text put on the X clipboard that
# reaches the history once (Wine bridges the X clipboard), and Exit.
# Usage: test_wine_exe.sh STOCKKUN_EXE XPIXELS
# The Wine prefix is kept beside the executable and reused: its first start
# is slow.
set -uo pipefail
export STOCKKUN=${1:?stockkun.exe} XPIXELS=${2:?xpixels}
PROGRAM_CLASS='^stockkun\.exe$'  # Wine names the class after the executable
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/wine_prefix.sh"
use_wine_prefix "$(dirname "$STOCKKUN")"
# This prefix's server, started for this test, ends with it.
at_exit "wineserver -k"

wine "$STOCKKUN" >/dev/null 2>&1 &
main_pid=$!
track_pid $main_pid
wait_until 60 has_main_window || fail "the main window did not appear"
win=$(main_window)
pass "main window with its exact title"

wine "$STOCKKUN" >/dev/null 2>&1 &
second=$!
track_pid $second
wait $second
status=$?
[ $status -eq 0 ] || fail "a second start ended with status $status"
[ "$(main_windows | wc -l)" -eq 1 ] || fail "a second start showed a window"
kill -0 $main_pid 2>/dev/null || fail "the first instance ended"
pass "a second start ends with status 0 and shows nothing"

# The history's rows: blue text on lavender, from the list's top at 240
# twips; a row is about 16 pixels high at 96 DPI.
blue_in_row() {  # ROW -> number of blue pixels in it
  "$XPIXELS" "$win" 4 $((17 + 16 * $1)) 460 13 0000ff 80 | cut -d' ' -f1
}
rows_at_least() {  # N: row N-1 holds text
  [ "$(blue_in_row $(($1 - 1)))" -gt 0 ]
}
[ "$(blue_in_row 0)" = 0 ] || fail "the history is not empty at start"
set_clipboard "wine history $$"
wait_until 30 rows_at_least 1 ||
  fail "the X clipboard's text did not reach the history"
# A second text comes on top of the first; a first text taken again on a
# later tick would stand as a third row.
set_clipboard "wine second $$"
wait_until 30 rows_at_least 2 || fail "a second text did not reach the history"
[ "$(blue_in_row 2)" = 0 ] || fail "a text was taken more than once"
pass "a text on the X clipboard reaches the history once"

# Exit, the button at the top right.
xdotool mousemove --window "$win" "$(px 6700)" "$(px 130)" click 1
no_main_window() { ! has_main_window; }
wait_until 30 no_main_window || fail "Exit did not take the main window away"
wait $main_pid
status=$?
[ $status -eq 0 ] || fail "Exit ended with status $status"
pass "Exit ends with status 0"
