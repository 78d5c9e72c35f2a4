#!/usr/bin/env bash
# The notification-area icon in a real tray host (trayer, XEmbed), under a
# real window manager (openbox): shown, clicked, re-docked. Openbox offers
# minimizing although the window asks for no such box: the icon's
# double-click and the topmost toggle bring a minimized window back.
. "$(dirname "$0")/lib.sh"

start_openbox
is_above() { xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
not_above() { ! is_above; }
minimized() { xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN && ! has_main_window; }
shown() { has_main_window && ! xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN; }
# Dark caption pixels of the "show normal" / "show top" button.
command8_ink() { "$XPIXELS" "$main" "$(px 5520)" "$(px 5160)" "$(px 1695)" "$(px 255)" 000000 90 | cut -d' ' -f1; }
double_click_icon() { xdotool mousemove "$ix" "$iy" click --repeat 2 --delay 60 1; }

start_trayer
start_program
main=$(main_window)
wait_until 10 framed "$main" || fail "the window manager did not frame the main window"
wait_until 10 has_icon || fail "no icon in the notification area"
pass "the icon is docked in the tray"
read -r ix iy < <(icon_center)

wait_until 5 is_above || fail "the window is not on top at start"
click_at 4000 5200                                   # Hide
wait_until 5 no_main_window || fail "Hide did not hide"
double_click_icon
wait_until 5 has_main_window || fail "a double-click on the icon did not show the window"
pass "after Hide, a double-click on the icon shows the window again"

xdotool windowminimize "$main"
wait_until 5 minimized || fail "the window manager did not minimize the window"
double_click_icon
wait_until 5 shown || fail "a double-click on the icon left the window minimized"
pass "the icon's double-click brings a minimized window back"

ink_before=$(command8_ink)
xdotool windowminimize "$main"
wait_until 5 minimized || fail "the window manager did not minimize the window again"
open_tray_menu
# edit, delete, clear history, hide, show normal
xdotool key Down Down Down Down Down Return
wait_until 5 shown || fail "the topmost toggle left the window minimized"
wait_until 5 not_above || fail "show normal from the popup left the window on top"
shorter_caption() { [ "$(command8_ink)" -lt "$ink_before" ]; }
wait_until 5 shorter_caption || fail "the button does not read the shorter \"show top\""
pass "\"show normal\" chosen from the popup brings a minimized window back, not on top, and the button reads \"show top\""

kill "$trayer_pid"
wait_until 5 bash -c '! xdotool search --class trayer >/dev/null 2>&1' || true
start_trayer
wait_until 10 has_icon || fail "the icon did not come back to a new tray"
pass "a new tray host gets the icon again"
