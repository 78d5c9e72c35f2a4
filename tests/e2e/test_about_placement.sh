#!/usr/bin/env bash
# Under a window manager that frames windows (openbox), the About window's
# outer frame stands 1590 twips above the main window's outer frame, at the
# same left edge, from its very first show on; its message box stands above
# both windows.
. "$(dirname "$0")/lib.sh"

start_openbox

about_window() { xdotool search --onlyvisible --name '^すとっくん　\[いろいろな情報\]$' 2>/dev/null | head -n 1; }
has_about_window() { [ -n "$(about_window)" ]; }
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

# No system information program can be found on this PATH.
empty_path=$(mktemp -d)
trap 'cleanup; rm -rf "$empty_path"' EXIT
PATH="$empty_path" "$STOCKKUN" >/dev/null 2>&1 &
track_pid $!
wait_until 15 has_main_window || fail "the main window did not appear"
main=$(main_window)
wait_until 10 framed "$main" || fail "the main window was not framed"
click_at $((5040 + 600)) 130
wait_until 10 has_about_window || fail "no About window after About"
wait_until 10 framed "$(about_window)" || fail "the About window was not framed"
wait_until 5 placed_right || fail "first show: About frame at $(frame_origin "$(about_window)"), main frame at $(frame_origin "$main")"
pass "the first About window's frame stands 1590 twips above the main window's frame"

click_at $((5040 + 600)) 130
wait_until 5 placed_right || fail "second press: About frame at $(frame_origin "$(about_window)")"
pass "a second press keeps it there"

# "sys" without any information program: the message box stands above both
# windows, owned by the About window.
message_box() { xdotool search --onlyvisible --name '^すとっくん$' 2>/dev/null | head -n 1; }
has_message_box() { [ -n "$(message_box)" ]; }
stacking() { xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g'; }
position_in_stack() { local i=0 w; for w in $(stacking); do [ $((w)) -eq $(($1)) ] && { echo $i; return; }; i=$((i + 1)); done; echo -1; }
xdotool mousemove --window "$(about_window)" "$(px $((4100 + 380)))" "$(px $((869 + 145)))" click 1
wait_until 10 has_message_box || fail "no message box after sys"
box=$(message_box)
xprop -id "$box" WM_TRANSIENT_FOR | grep -qi "$(printf '0x%x' "$(about_window)")" || fail "the message box is not owned by the About window"
above_both() {
  local b m a; b=$(position_in_stack "$box"); m=$(position_in_stack "$(main_window)"); a=$(position_in_stack "$(about_window)")
  [ "$b" -gt "$m" ] && [ "$b" -gt "$a" ]
}
wait_until 5 above_both || fail "the message box is not above both windows: $(stacking)"
xdotool windowactivate "$box" key Return
pass "the sys failure message stands above both windows, owned by the About window"
