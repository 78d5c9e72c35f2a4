#!/usr/bin/env bash
# Clips of one grapheme cluster each, "a" and "b" with 65,535 combining marks
# (U+0301), copied in turn: each is recorded once and the program goes on
# ticking; the plain copy after them is recorded as well; recalled and
# copied back, such a clip comes back whole.
. "$(dirname "$0")/lib.sh"

cluster() { printf '%s' "$1"; yes $'\xcc\x81' | head -n 65535 | tr -d '\n'; }
first=$(cluster a)
second=$(cluster b)
[ "${#first}" -eq 65536 ] || fail "the test text has ${#first} characters"

start_program
for text in "$first" "$second"; do
  n=$(history_count)
  set_clipboard "$text"
  wait_until 30 history_grew_past "$n" || fail "a clip of ${#text} characters was not recorded"
done
wait_ticks
n=$(history_count)
set_clipboard "plain text after the marks"
wait_until 30 history_grew_past "$n" || fail "the copy after the marks was not recorded"
pass "two clips of 65,535 marks in one cluster are recorded, and so is the copy after them"

click_at 1500 330 # the top row,
xdotool key Down  # then the one below it: the second cluster
wait_ticks 1
copy_edit_box
wait_until 30 clipboard_is "$second" || fail "the recalled clip came back as $(xclip -selection clipboard -o | wc -c) bytes"
pass "the recalled clip of 65,535 marks is copied back whole"
