#!/usr/bin/env bash
# Every way out of the program ends the process with status 0, with the
# About window open or closed, and with the tray menu or the edit box's
# context menu open at that moment. The exit rules hold: only "Exit" takes an
# open About window along; otherwise the process lasts until it is closed.
. "$(dirname "$0")/lib.sh"

XCLOSE="${XCLOSE:-$(dirname "$STOCKKUN")/tests/xclose}"
empty_path=$(mktemp -d)
trap 'cleanup; rm -rf "$empty_path"' EXIT

start_openbox
start_trayer

ended() { ! running; }

start() {
  PATH="$empty_path:$PATH" "$STOCKKUN" >/dev/null 2>&1 &
  track_pid $!
  last_pid=$!
  wait_until 15 has_main_window || fail_no_window $last_pid
  wait_until 10 framed || fail "the window manager did not frame the main window"
  wait_until 10 has_icon || fail "no icon in the notification area"
}
open_about() {
  press_about
  wait_until 10 has_about_window || fail "no About window after About"
}
open_context_menu() { open_menu "the edit box's context menu" mousemove --window "$(main_window)" "$(px 1000)" "$(px 3000)" click 3; }
# Waits for the program to end and checks its status.
expect_status_0() {
  local what=$1 rc
  wait_until 15 ended || fail "$what: the process did not end"
  wait "$last_pid"; rc=$?
  [ "$rc" -eq 0 ] || fail "$what: exit status $rc"
  pass "$what: status 0"
}
about_ok() { xdotool mousemove --window "$(about_window)" "$(px 4470)" "$(px 470)" click 1; }

# The "Exit" button, with and without the About window.
start
click_at $((6240 + 480)) 130
expect_status_0 "Exit"
start; open_about
click_at $((6240 + 480)) 130
expect_status_0 "Exit with About open"

# The tray menu's exit entry (its access key X).
start
open_tray_menu
xdotool key x
expect_status_0 "the tray menu's exit"
start; open_about
open_tray_menu
xdotool key x
wait_until 10 no_main_window || fail "the tray menu's exit left the main window"
has_about_window || fail "the tray menu's exit closed the About window"
xdotool mousemove --window "$(about_window)" 5 5 mousemove --window "$(about_window)" 30 30
running || fail "the process ended with the About window open"
about_ok
expect_status_0 "the tray menu's exit with About open, then OK"

# The frame's close while the tray menu is open.
start
open_tray_menu
"$XCLOSE" "$(main_window)"
expect_status_0 "the frame's close with the tray menu open"

# The frame's close with About open while the edit box's context menu is open.
start; open_about
open_context_menu
"$XCLOSE" "$(main_window)"
wait_until 10 no_main_window || fail "the frame's close left the main window"
has_about_window || fail "the frame's close closed the About window"
"$XCLOSE" "$(about_window)"
expect_status_0 "the frame's close with About and the context menu open, then About's close"

# Ended by the session (a logout's SIGTERM), with the tray menu open.
start; open_about
open_tray_menu
kill -TERM "$last_pid"
expect_status_0 "SIGTERM with About and the tray menu open"
