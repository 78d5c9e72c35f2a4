#!/usr/bin/env bash
# Undo and redo in the edit box keep texts exact: a Delete or a Cut undone
# brings back CR LF and lone CR as they were.
. "$(dirname "$0")/lib.sh"

text=$'one\r\ntwo\rthree\nfour'

start_program
set_clipboard "$text"
wait_until 5 history_has_ink || fail "the text was not recorded"
click_at 1500 330                            # recall row 0
click_at 2000 3500
xdotool key ctrl+a Delete                    # the edit box's Delete
xdotool key ctrl+z
set_clipboard "something else"
wait_until 3 clipboard_is "something else" || fail "xclip did not take the clipboard"
copy_edit_box
wait_until 3 clipboard_is "$text" || fail "after Delete and undo: $(xclip -selection clipboard -o | od -An -c | head -3)"
pass "Delete, then undo: the text comes back exactly"

click_at 2000 3500
xdotool key ctrl+a
click_at 600 5280                            # Cut
wait_until 3 clipboard_is "$text" || fail "Cut did not put the text on the clipboard"
click_at 2000 3500
xdotool key ctrl+z ctrl+shift+z ctrl+z       # undo, redo, undo
set_clipboard "something else again"
wait_until 3 clipboard_is "something else again" || fail "xclip did not take the clipboard"
copy_edit_box
wait_until 3 clipboard_is "$text" || fail "after Cut, undo, redo, undo: $(xclip -selection clipboard -o | od -An -c | head -3)"
pass "Cut, undo, redo, undo: the text comes back exactly"
