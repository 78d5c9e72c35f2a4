#!/usr/bin/env bash
# The About window from outside, under a window manager that frames windows
# (openbox): its frame stands 1590 twips above the main window's frame at the
# same left edge from its very first show on, one window however often About
# is pressed; "sys" with no information program installed shows the message
# box above both windows. (The exit rules with it open: test_exit.)
. "$(dirname "$0")/lib.sh"

start_openbox

message_box() { windows_named 'すとっくん' | head -n 1; }
has_message_box() { [ -n "$(message_box)" ]; }
no_message_box() { ! has_message_box; }
# The outer frame's top-left corner: "x y".
frame_origin() {
  local left top x y
  read -r left _ top _ < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  x=$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print $4}')
  y=$(xwininfo -id "$1" | awk '/Absolute upper-left Y/ {print $4}')
  echo "$((x - left)) $((y - top))"
}
placed_right() {
  local mx my ax ay
  read -r mx my < <(frame_origin "$(main_window)")
  read -r ax ay < <(frame_origin "$(about_window)")
  [ "$ax" -eq "$mx" ] && [ "$ay" -eq $((my - 1590 / 15)) ]
}
# Clicks at a point of the About window's client area given in twips.
click_about_at() { xdotool mousemove --window "$(about_window)" "$(px "$1")" "$(px "$2")" click 1; }

# No system information program can be found on this PATH.
empty_path=$(mktemp -d)
remove_empty_path() { rm -rf "$empty_path"; }
at_exit remove_empty_path
PATH="$empty_path" "$STOCKKUN" >/dev/null 2>&1 &
track_pid $!
last_pid=$!
wait_until 15 has_main_window || fail "the main window did not appear"
main=$(main_window)
wait_until 10 framed "$main" || fail "the main window was not framed"
press_about
wait_until 10 has_about_window || fail "no About window after About"
wait_until 10 framed "$(about_window)" || fail "the About window was not framed"
wait_until 5 placed_right || fail "first show: About frame at $(frame_origin "$(about_window)"), main frame at $(frame_origin "$main")"
eval "$(xdotool getwindowgeometry --shell "$(about_window)" | sed 's/^/ABOUT_/')"
[ "$ABOUT_WIDTH" -eq "$(px 4905)" ] && [ "$ABOUT_HEIGHT" -eq "$(px 1215)" ] || fail "About client ${ABOUT_WIDTH}x$ABOUT_HEIGHT"
pass "the first About window's frame stands 1590 twips above the main window's frame"

press_about
wait_ticks
wait_until 5 placed_right || fail "second press: About frame at $(frame_origin "$(about_window)")"
[ "$(about_windows | wc -l)" -eq 1 ] || fail "a second About window"
pass "a second press keeps the one window there"

# "sys": the message box, with the application's title, owned by the About
# window and above both windows; the About window stays.
stacking() { xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g'; }
position_in_stack() { local i=0 w; for w in $(stacking); do [ $((w)) -eq $(($1)) ] && { echo $i; return; }; i=$((i + 1)); done; echo -1; }
click_about_at $((4100 + 380)) $((869 + 145))
wait_until 10 has_message_box || fail "no message box after sys"
box=$(message_box)
xprop -id "$box" WM_TRANSIENT_FOR | grep -qi "$(printf '0x%x' "$(about_window)")" || fail "the message box is not owned by the About window"
above_both() {
  local b m a; b=$(position_in_stack "$box"); m=$(position_in_stack "$(main_window)"); a=$(position_in_stack "$(about_window)")
  [ "$b" -gt "$m" ] && [ "$b" -gt "$a" ]
}
wait_until 5 above_both || fail "the message box is not above both windows: $(stacking)"
xdotool windowactivate "$box" key Return
wait_until 10 no_message_box || fail "the message box stayed"
has_about_window && running || fail "the About window or the program went with the message"
pass "the sys failure message stands above both windows, owned by the About window, which stays"

# The main window hidden, the About window closed: the program stays.
click_at 4000 5200  # Hide
wait_until 10 no_main_window || fail "Hide did not hide"
click_about_at $((4080 + 390)) $((120 + 350))  # OK
wait_until 10 no_about_window || fail "OK did not close the About window"
wait_ticks  # a program that had ended would tick no more
running || fail "closing the About window ended the program hidden in the tray"
pass "with the main window hidden, closing the About window leaves the program running"
