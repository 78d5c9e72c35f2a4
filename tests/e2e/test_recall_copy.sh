#!/usr/bin/env bash
# The road of one clipboard text, driven from outside: copied in another
# program, recalled from the history, selected and copied back.
. "$(dirname "$0")/lib.sh"


road() {  # FIRST SECOND
  local first=$1 second=$2
  set_clipboard "$first"
  wait_until 5 history_has_ink || fail "first text not recorded"
  local n1; n1=$(history_count)
  set_clipboard "$second"
  wait_until 5 history_grew_past "$n1" || fail "second text not recorded"

  click_at 1500 330                          # row 0: the second text
  xdotool key Down                           # row 1: the first text
  click_at 2000 3500                         # into the edit box
  xdotool key ctrl+a
  wait_ticks 1                               # the keys and the repaint have been handled
  local n2; n2=$(history_count)              # the chosen row is drawn highlighted now
  click_at 1900 5280                         # Copy
  wait_until 3 clipboard_is "$first" || fail "the clipboard does not hold the first text exactly"
  wait_until 5 history_grew_past "$n2" || fail "the copied text did not come back as a new row"
  local n3; n3=$(history_count)
  wait_ticks
  [ "$(history_count)" = "$n3" ] || fail "the copied text was recorded more than once"
}

start_program
road "first" "second"
pass "recall, select all, Copy: the clipboard holds the entry and it comes back on top"

click_at 1500 100                            # Clear   History
road $'first\r\nline' "other"
pass "the same with a text holding CR LF"
