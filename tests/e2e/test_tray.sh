#!/usr/bin/env bash
# The notification-area icon in a real tray host (trayer, XEmbed), under a
# real window manager (openbox): shown, clicked, re-docked.
. "$(dirname "$0")/lib.sh"

start_openbox
is_above() { xprop -id "$(main_window)" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
not_above() { ! is_above; }
# Dark caption pixels of the "show normal" / "show top" button.
command8_ink() { "$XPIXELS" "$(main_window)" "$(px 5520)" "$(px 5160)" "$(px 1695)" "$(px 255)" 000000 90 | cut -d' ' -f1; }

start_trayer
start_program
wait_until 10 has_icon || fail "no icon in the notification area"
pass "the icon is docked in the tray"

wait_until 5 is_above || fail "the window is not on top at start"
click_at 4000 5200                                   # Hide
wait_until 5 no_main_window || fail "Hide did not hide"
read -r ix iy < <(icon_center)
xdotool mousemove "$ix" "$iy" click --repeat 2 --delay 60 1
wait_until 5 has_main_window || fail "a double-click on the icon did not show the window"
pass "after Hide, a double-click on the icon shows the window again"

ink_before=$(command8_ink)
open_tray_menu
# edit, delete, clear history, hide, show normal
xdotool key Down Down Down Down Down Return
wait_until 5 not_above || fail "show top from the popup left the window on top"
shorter_caption() { [ "$(command8_ink)" -lt "$ink_before" ]; }
wait_until 5 shorter_caption || fail "the button does not read the shorter \"show top\""
pass "\"show top\" chosen from the popup: not on top, and the button reads \"show top\""

kill "$trayer_pid"
wait_until 5 bash -c '! xdotool search --class trayer >/dev/null 2>&1' || true
start_trayer
wait_until 10 has_icon || fail "the icon did not come back to a new tray"
pass "a new tray host gets the icon again"
