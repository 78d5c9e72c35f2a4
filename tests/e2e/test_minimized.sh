#!/usr/bin/env bash
# A window manager may offer minimizing although the window asks for no such
# box (openbox does): the tray icon's double-click and the topmost toggle
# bring a minimized window back.
. "$(dirname "$0")/lib.sh"

start_openbox
start_trayer

minimized() { xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN && ! has_main_window; }
shown() { has_main_window && ! xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN; }

start_program
main=$(main_window)
wait_until 10 framed "$main" || fail "the window manager did not frame the main window"
wait_until 10 has_icon || fail "no icon in the notification area"
read -r ix iy < <(icon_center)

xdotool windowminimize "$main"
wait_until 5 minimized || fail "the window manager did not minimize the window"
xdotool mousemove "$ix" "$iy" click --repeat 2 --delay 60 1
wait_until 5 shown || fail "a double-click on the icon left the window minimized"
pass "the icon's double-click brings a minimized window back"

xdotool windowminimize "$main"
wait_until 5 minimized || fail "the window manager did not minimize the window again"
open_tray_menu
xdotool key Down Down Down Down Down Return          # "show normal"
wait_until 5 shown || fail "the topmost toggle left the window minimized"
pass "the topmost toggle brings a minimized window back"
