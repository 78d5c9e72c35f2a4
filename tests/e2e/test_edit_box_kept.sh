#!/usr/bin/env bash
# What the user types into the edit box stays there until the user picks a
# row: focus moving into the history list, the window being activated again
# or the tray menu closing recall nothing. Tab moves the focus out of the
# edit box instead of typing a tab.
. "$(dirname "$0")/lib.sh"

start_openbox
start_trayer

active_is_main() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$(main_window)" ]; }
# Dark text pixels in the edit box.
edit_box_ink() { "$XPIXELS" "$(main_window)" "$(px 60)" "$(px 2220)" "$(px 3800)" "$(px 2800)" 000000 120 | cut -d' ' -f1; }
edit_box_empty() { [ "$(edit_box_ink)" -eq 0 ]; }

set_clipboard "on the clipboard at start"
start_program
wait_until 10 framed || fail "the window manager did not frame the main window"
wait_until 10 has_icon || fail "no icon in the notification area"
wait_until 5 history_has_ink || fail "the clipboard text was not recorded"

# The tray menu opened and closed right after start: the edit box stays empty.
open_tray_menu
xdotool key Escape
wait_until 5 active_is_main || xdotool windowactivate "$(main_window)"
wait_ticks
edit_box_empty || fail "closing the tray menu filled the edit box"
pass "opening and closing the tray menu recalls nothing"

# A draft, then a click on the list's empty part, another program and back.
click_at 2000 3500
xdotool type --delay 20 "my draft"
click_at 3000 1700                                   # below the only row
xmessage -name other "another program" >/dev/null 2>&1 &
track_pid $!; other=$!
wait_until 5 bash -c '[ -n "$(xdotool search --onlyvisible --name "^other$" 2>/dev/null)" ]' || fail "no other window"
other_window=$(xdotool search --onlyvisible --name '^other$' | head -n 1)
xdotool windowactivate "$other_window"
active_is_other() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$other_window" ]; }
wait_until 5 active_is_other || fail "the other program was not activated"
xdotool windowactivate "$(main_window)"
wait_until 5 active_is_main || fail "the main window was not activated again"
kill "$other"
copy_edit_box
wait_until 3 clipboard_is "my draft" || fail "the draft was replaced: the clipboard holds '$(xclip -selection clipboard -o)'"
pass "the draft survives a click on the list's empty part and a switch of programs"

# Tab and Shift+Tab leave the edit box; no tab character is typed.
click_at 200 2300
xdotool key ctrl+a BackSpace
xdotool type --delay 20 "a"
xdotool key Tab
xdotool type --delay 20 "b"
click_at 200 2300
xdotool key ctrl+End
xdotool type --delay 20 "c"
xdotool key shift+Tab
xdotool type --delay 20 "d"
copy_edit_box
wait_until 3 clipboard_is "ac" || fail "Tab typed into the edit box: the clipboard holds '$(xclip -selection clipboard -o | od -c | head -2)'"
pass "Tab and Shift+Tab move the focus out of the edit box"

# A row the user picks still recalls: a click on the top row, then End.
click_at 1500 330
xdotool key End
copy_edit_box
wait_until 3 clipboard_is "on the clipboard at start" || fail "a click on the row did not recall it"
pass "a click on a row recalls it"
