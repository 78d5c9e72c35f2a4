#!/usr/bin/env bash
# The program started and ended many times under a window manager (openbox)
# beside a tray host (trayer), with no system information program on its
# PATH: --autostart; one instance per user and display; the About window
# placed above the main window and "sys" showing its failure message above
# both; every way out but Exit ending with status 0, the process lasting
# until an open About window is closed. A killed instance never blocks the
# next start.
. "$(dirname "$0")/lib.sh"
XCLOSE="${XCLOSE:-$(dirname "$STOCKKUN")/tests/xclose}"
scratch=$(mktemp -d)
at_exit "rm -rf $scratch"
mkdir -m 700 "$scratch/bin"

start_openbox
start_trayer
ended() { ! running; }
start() {
  start_program PATH="$scratch/bin"
  wait_until 10 framed || fail "the window manager did not frame the main window"
  wait_until 10 has_icon || fail "no icon in the notification area"
}
open_about() {
  # A press that lands while the window manager is still placing the window
  # is lost: pressed again until About shows.
  local try
  for try in 1 2 3; do
    press_about
    wait_until 5 has_about_window && break
  done
  has_about_window || fail "no About window after About"
}
# Waits for the program to end and checks its status.
expect_status_0() {
  local rc
  wait_until 15 ended || fail "$1: the process did not end"
  wait "$last_pid"
  rc=$?
  [ "$rc" -eq 0 ] || fail "$1: exit status $rc"
  pass "$1: status 0"
}

start
entry="$scratch/config/autostart/stockkun.desktop"
export XDG_CONFIG_HOME="$scratch/config"
# Started by a relative name, as from a shell in its folder.
(cd "$(dirname "$STOCKKUN")" && ./stockkun --autostart on >/dev/null) || fail "--autostart on failed"
valid=$(desktop-file-validate "$entry" 2>&1) && [ -z "$valid" ] || fail "the autostart entry: $valid"
grep -qx "Exec=$(readlink -f "$STOCKKUN")" "$entry" || fail "the entry does not start this program: $(grep Exec "$entry")"
"$STOCKKUN" --autostart off >/dev/null && [ ! -e "$entry" ] || fail "--autostart off left the entry"
pass "--autostart on writes a valid entry that starts this program, off removes it"
# A second start ends silently at once with status 0: the instance and its
# window are untouched.
out=$(timeout 10 "$STOCKKUN" 2>&1) && [ -z "$out" ] || fail "a second start: '$out'"
running && [ "$(main_windows | wc -l)" -eq 1 ] || fail "a second start disturbed the instance or its window"
pass "a second start ends silently with 0"

# The About window's outer frame stands 1590 twips above the main window's
# at the same left edge from its very first show on; no taskbar button, not
# on top.
frame_origin() {
  local left top
  read -r left _ top _ < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  xwininfo -id "$1" | awk -v l="$left" -v t="$top" '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    END {print x - l, y - t}'
}
placed_right() {
  local mx my ax ay
  read -r mx my < <(frame_origin "$(main_window)")
  read -r ax ay < <(frame_origin "$(about_window)")
  [ "$ax" -eq "$mx" ] && [ "$ay" -eq $((my - 1590 / 15)) ]
}
open_about
wait_until 10 framed "$(about_window)" || fail "the About window was not framed"
wait_until 30 placed_right || fail "first show: About frame at $(frame_origin "$(about_window)"), main frame at $(frame_origin "$(main_window)")"
about_state=$(xprop -id "$(about_window)" _NET_WM_STATE)
[[ "$about_state" == *_NET_WM_STATE_SKIP_TASKBAR* && "$about_state" != *_NET_WM_STATE_ABOVE* ]] ||
  fail "the About window's state: $about_state"
pass "the About window stands 1590 twips above the main window, without a taskbar button"

# From OK, which has the focus, Tab goes to "sys", and Enter there presses
# it: the message box, with the application's title, owned by the About
# window and kept above both windows; the About window stays.
message_box() { windows_named 'すとっくん' | head -n 1; }
has_message_box() { [ -n "$(message_box)" ]; }
no_message_box() { ! has_message_box; }
xdotool windowactivate --sync "$(about_window)" key Tab Return
wait_until 10 has_message_box || fail "no message box after sys"
box=$(message_box)
xprop -id "$box" WM_TRANSIENT_FOR | grep -qi "$(printf '0x%x' "$(about_window)")" || fail "the message box is not owned by the About window"
xprop -id "$box" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "the message box is not kept above the topmost main window"
xdotool windowactivate "$box" key Return
wait_until 10 no_message_box || fail "the message box stayed"
has_about_window && running || fail "the About window or the program went with the message"
pass "the sys failure message stands above both windows, owned by the About window, which stays"

# The main window hidden, the About window closed by Esc: the program stays,
# until the tray menu's exit entry (its access key X).
click_at 4000 5200 # Hide
wait_until 10 no_main_window || fail "Hide did not hide"
xdotool windowactivate --sync "$(about_window)" key Escape
wait_until 10 no_about_window || fail "Esc did not close the About window"
wait_ticks # a program that had ended would tick no more
running || fail "closing the About window ended the program hidden in the tray"
open_tray_menu
xdotool key x
expect_status_0 "hidden, About closed, then the tray menu's exit"

start
open_about
open_tray_menu
xdotool key x
wait_until 10 no_main_window || fail "the tray menu's exit left the main window"
has_about_window || fail "the tray menu's exit closed the About window"
xdotool mousemove --window "$(about_window)" 5 5 mousemove --window "$(about_window)" 30 30
running || fail "the process ended with the About window open"
xdotool mousemove --window "$(about_window)" "$(px 4470)" "$(px 470)" click 1 # OK
expect_status_0 "the tray menu's exit with About open, then OK"

start
open_about
open_menu "the edit box's context menu" xdotool mousemove --window "$(main_window)" "$(px 1000)" "$(px 3000)" click 3
"$XCLOSE" "$(main_window)"
wait_until 10 no_main_window || fail "the frame's close left the main window"
has_about_window || fail "the frame's close closed the About window"
"$XCLOSE" "$(about_window)"
expect_status_0 "the frame's close with About and the context menu open, then About's close"

# Ended by the session (a logout's SIGTERM), with the tray menu open; then
# killed outright, which must not block the next start.
start
open_about
open_tray_menu
kill -TERM "$last_pid"
expect_status_0 "SIGTERM with About and the tray menu open"
start
stop_pid "$last_pid"
wait_until 30 no_main_window || fail "the killed instance's window stayed"
start
pass "a killed instance does not block the next start"
