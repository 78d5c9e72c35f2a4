#!/usr/bin/env bash
# The About window from outside: placed 1590 twips above the main window as a
# second top-level window; "sys" with no information program installed shows
# the message box; the exit rules with the About window open.
. "$(dirname "$0")/lib.sh"

# No system information program can be found on this PATH.
XCLOSE="${XCLOSE:-$(dirname "$STOCKKUN")/tests/xclose}"
empty_path=$(mktemp -d)
remove_empty_path() { rm -rf "$empty_path"; }
at_exit remove_empty_path
start_about_program() {
  PATH="$empty_path" "$STOCKKUN" >/dev/null 2>&1 &
  track_pid $!
  last_pid=$!
  wait_until 15 has_main_window || fail "the main window did not appear"
}

about_windows() { windows_named 'すとっくん　[いろいろな情報]'; }
about_window() { about_windows | head -n 1; }
has_about_window() { [ -n "$(about_window)" ]; }
no_about_window() { ! has_about_window; }
message_box() { windows_named 'すとっくん' | head -n 1; }
has_message_box() { [ -n "$(message_box)" ]; }
no_message_box() { ! has_message_box; }
running() { kill -0 "$last_pid" 2>/dev/null; }
ended() { ! running; }
geometry() { xdotool getwindowgeometry --shell "$1"; }

# Clicks at a point of the About window's client area given in twips.
click_about_at() {
  xdotool mousemove --window "$(about_window)" "$(px "$1")" "$(px "$2")" click 1
}
press_about() { click_at $((5040 + 600)) 130; }

# --- About opens above the main window -------------------------------------
start_about_program
press_about
wait_until 10 has_about_window || fail "no About window after About"
eval "$(geometry "$(main_window)" | sed 's/^/MAIN_/')"
eval "$(geometry "$(about_window)" | sed 's/^/ABOUT_/')"
[ "$ABOUT_X" -eq "$MAIN_X" ] || fail "About left $ABOUT_X, main left $MAIN_X"
[ "$ABOUT_Y" -eq $((MAIN_Y - 1590 / 15)) ] || fail "About top $ABOUT_Y, main top $MAIN_Y: not 1590 twips above"
[ "$ABOUT_WIDTH" -eq "$(px 4905)" ] && [ "$ABOUT_HEIGHT" -eq "$(px 1215)" ] || fail "About client ${ABOUT_WIDTH}x$ABOUT_HEIGHT"
[ "$(about_windows | wc -l)" -eq 1 ] && [ "$(main_windows | wc -l)" -eq 1 ] || fail "two windows expected"
[ "$(about_window)" != "$(main_window)" ] || fail "the About window is not a window of its own"
pass "About opens a second window 1590 twips above the main window"

# Pressing About again keeps one About window.
press_about
wait_ticks
[ "$(about_windows | wc -l)" -eq 1 ] || fail "a second About window"
pass "About again keeps one About window"

# --- sys with no information program: the message box ----------------------
click_about_at $((4100 + 380)) $((869 + 145))
wait_until 10 has_message_box || fail "no message box after sys"
box=$(message_box)
[ "$(xdotool getwindowname "$box")" = "すとっくん" ] || fail "message box caption"
xdotool windowfocus "$box" key Return
wait_until 10 no_message_box || fail "the message box stayed"
has_about_window || fail "the About window closed with the message"
running || fail "the program ended"
pass "sys shows the message box with the application's title; the About window stays"

# --- closing the main window keeps the process for the About window --------
"$XCLOSE" "$(main_window)" || fail "could not ask the main window to close"
wait_until 10 no_main_window || fail "the main window did not close"
# The About window still answers: sys shows its message box again.
click_about_at $((4100 + 380)) $((869 + 145))
wait_until 10 has_message_box || fail "the About window does not answer with the main window closed"
xdotool windowfocus "$(message_box)" key Return
wait_until 10 no_message_box || fail "the message box stayed"
running || fail "the process ended with the About window still open"
has_about_window || fail "the About window closed with the main window"
pass "closing the main window leaves the About window and the process"

click_about_at $((4080 + 390)) $((120 + 350))  # OK
wait_until 10 ended || fail "the process outlived its last window"
pass "OK on the last window ends the process"

# --- Exit with the About window open ends both ------------------------------
start_about_program
press_about
wait_until 10 has_about_window || fail "no About window"
click_at $((6240 + 480)) 130  # Exit
wait_until 10 ended || fail "Exit did not end the process"
pass "Exit with the About window open ends the process"

# --- the main window hidden, the About window closed: the program stays -----
start_about_program
press_about
wait_until 10 has_about_window || fail "no About window"
click_at 4000 5200  # Hide
wait_until 10 no_main_window || fail "Hide did not hide"
click_about_at $((4080 + 390)) $((120 + 350))  # OK
wait_until 10 no_about_window || fail "OK did not close the About window"
wait_ticks  # a program that had ended would tick no more
running || fail "closing the About window ended the program hidden in the tray"
pass "with the main window hidden, closing the About window leaves the program running"
