#!/usr/bin/env bash
# Text put on the clipboard by another program reaches the history once.
. "$(dirname "$0")/lib.sh"

set_clipboard "before start"
start_program

wait_until 5 history_has_ink ||
  fail "the clipboard text at start-up was not taken"
one_row=$(history_count)
pass "text on the clipboard at start-up is the first entry"

# The same text again, from a new owner: nothing is added.
set_clipboard "before start"
wait_ticks
[ "$(history_count)" = "$one_row" ] || fail "the same text was recorded twice"
pass "the same text is recorded once"

set_clipboard $'second\r\nline'
wait_until 5 history_grew_past "$one_row" ||
  fail "a new text did not add a row"
two_rows=$(history_count)
wait_ticks
[ "$(history_count)" = "$two_rows" ] || fail "a CR LF text was recorded again on a later tick"
pass "a new CR LF text adds one row and only one"
