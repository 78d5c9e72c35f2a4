#!/usr/bin/env bash
# The Windows program under Wine on the X server named by DISPLAY, driven
# from outside: its main window with the exact title, a second start that
# ends with status 0 and shows nothing, line breaks kept through recall and
# Copy, Clear History, and texts marked secrets never recorded nor read.
# Usage: test_wine_exe.sh STOCKKUN_EXE XPIXELS
# The Wine prefix is kept beside the executable and reused: its first start
# is slow.
set -uo pipefail
export STOCKKUN=${1:?stockkun.exe} XPIXELS=${2:?xpixels}
PROGRAM_CLASS='^stockkun\.exe$'  # Wine names the class after the executable
source "$(dirname "$0")/../../e2e/lib.sh"
source "$(dirname "$0")/wine_prefix.sh"
start_wine_test

start_wine_program
pass "main window with its exact title"
wine "$STOCKKUN" >/dev/null 2>&1 || fail "a second start ended with status $?"
[ "$(main_windows | wc -l)" -eq 1 ] || fail "a second start showed a window"
kill -0 $main_pid 2>/dev/null || fail "the first instance ended"
pass "a second start ends with status 0 and shows nothing"

# ---- line breaks through recall and Copy ------------------------------------
# wine_probe reads and writes the Windows clipboard itself, so what the
# program holds is seen apart from what Wine's X bridge makes of it: CR LF,
# a lone CR and a lone LF all come back exactly. The top row is recalled and
# all of it selected; another text takes the clipboard and the top row; Copy.
exact=$'x\r\ny\rz\nw\r\nv'
rows_at_least 1 && fail "the history is not empty at start"
put "$exact"
wait_until 30 rows_at_least 1 || fail "the Windows text did not reach the history"
click_at 400 400 # the top row
wait_until 10 edit_has_text || fail "the recalled text did not show in the edit box"
click_at 1500 4000 && xdotool key ctrl+a
put "marker $$"
wait_until 30 rows_at_least 2 || fail "the marker text did not reach the history"
click_at 1927 5287 # Command2, Copy
wait_until 30 windows_clipboard_is "$exact" ||
  fail "Copy put $(od -An -c "$work/got" 2>/dev/null) on the clipboard"
pass "recall and Copy keep CR LF, a lone CR and a lone LF exactly"
wait_ticks # the copied text reaches the history before the Clear, not after it
click_at 2167 132 # Command1, Clear History
history_is_empty() { ! rows_at_least 1; }
wait_until 10 history_is_empty || fail "Clear History left rows"

# ---- texts their owners mark secrets ---------------------------------------
# Neither recorded nor even read, while the program's ticks go on; the plain
# text after them is recorded as usual.
for mark in exclude nohistory; do
  said="$work/secret-$mark"
  wine "$PROBE" secret "$mark" "secret $mark $$" >"$said" 2>&1 &
  track_pid $!
  wait_until 30 grep -q "^owner" "$said" || fail "the $mark owner did not take the clipboard: $(cat "$said")"
  wait_ticks 3
  rows_at_least 1 && fail "a text marked $mark was recorded"
  grep -q "text asked" "$said" && fail "the text of a secret marked $mark was read"
done
set_clipboard "plain after the secrets $$"
wait_until 30 rows_at_least 1 || fail "the plain text after the secrets did not reach the history"
pass "texts marked secrets are neither recorded nor read"
