#!/usr/bin/env bash
# The program on a Wayland desktop: a headless sway with XWayland, where the
# window is XWayland's and a native window (foot) holds the focus. Copies
# made there are recorded exactly, whatever has the focus; Copy, from the
# window and from the tray menu, reaches native programs; an owner that never
# writes freezes nothing and a secret is never read. Without the compositor's
# clipboard, the X11 reader takes XWayland's refusals for "cannot read now",
# never for an empty clipboard.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/../support/sway.sh"
at_exit stop_sway
WL_TEST_OWNER="$(dirname "$STOCKKUN")/tests/wl_test_owner"

start_sway || fail "no sway session"
start_trayer
start_native_window
pasted_is() { [ "$(wl-paste --no-newline | od -An -c)" = "$(printf '%s' "$1" | od -An -c)" ]; }
no_new_row() {
  wait_ticks 3
  rows_are "$1" || fail "$2: $(rows) rows"
}
native_has_focus() { focused_is native; }
submenu_open() { [ "$(program_menus | wc -l)" -ge 2 ]; }

start_program
wait_until 30 has_icon || fail "no icon in the tray"
# Apart, so that a click on the icon is not one on the window: XWayland's
# stacking of the two need not be the compositor's.
as_sway_user swaymsg -q '[class="(?i)trayer"] floating enable, move absolute position 1000 600'
as_sway_user swaymsg -q '[class="stockkun"] floating enable, move absolute position 0 0'
wait_ticks
rows_are 0 || fail "rows at start: $(rows)"
focus '[app_id="native"]'
first=$'日本語 ü € 😀\r\nline\rlone CR\ttab'
wl_copy "$first"
wait_until 30 rows_are 1 || fail "a copy made while a native window has the focus was not recorded"
for i in 1 2; do
  focus '[class="stockkun"]'
  focus '[app_id="native"]'
done
no_new_row 1 "switching the focus added rows"
pass "a copy in a native program recorded; switching the focus adds nothing"

focus '[class="stockkun"]'
click_at 1500 330 # recall the top row
click_at 2000 3500
xdotool key ctrl+a
wait_ticks 1
click_at 1900 5280 # Copy
wait_until 30 pasted_is "$first" || fail "Copy gave wl-paste $(wl-paste -n | od -An -c | head -3)"
pass "the recorded text, recalled and copied, reaches wl-paste byte for byte"

click_at 2000 3500
xdotool key ctrl+a
xdotool type --delay 20 "from the tray"
xdotool key ctrl+a
wait_ticks 1
focus '[app_id="native"]'
wait_until 30 native_has_focus || fail "the native window did not get the focus"
open_tray_menu
xdotool key Down Right # edit ▸
wait_until 30 submenu_open || fail "the edit submenu did not open"
xdotool key Down Return # copy
wait_until 30 pasted_is "from the tray" || fail "the tray menu's Copy gave wl-paste $(wl-paste -n | head -c 80)"
native_has_focus || fail "the tray menu took the focus from the native window"
wait_until 30 rows_are 2 || fail "the tray menu's copy was not recorded"
pass "the tray menu's Copy reaches wl-paste while a native window keeps the focus"

"$WL_TEST_OWNER" silent >/dev/null &
track_pid $!
no_new_row 2 "an owner that never writes made a row"
wl_copy "after the silent owner"
wait_until 30 rows_are 3 || fail "the copy after an owner that never writes was not recorded"
asked=$(mktemp)
at_exit "rm -f $asked"
"$WL_TEST_OWNER" secret <(printf 'hunter2') >"$asked" &
track_pid $!
wait_until 30 grep -q 'asked x-kde-passwordManagerHint' "$asked" || fail "the secret's hint was never read"
no_new_row 3 "a secret was recorded"
grep -q 'asked text' "$asked" && fail "the secret's text was read"
pass "an owner that never writes freezes nothing; a secret is neither recorded nor read"

stop_pid "$last_pid"
start_program WAYLAND_DISPLAY=
focus '[class="stockkun"]'
wl_copy "through XWayland"
wait_until 30 rows_are 1 || fail "the X11 reader did not record the copy through XWayland"
focus '[app_id="native"]'
wl_copy "refused while native"
no_new_row 1 "the X11 reader took XWayland's refusal for an empty clipboard"
focus '[class="stockkun"]'
wait_until 30 rows_are 2 || fail "the X11 reader did not record the copy once it could read it"
pass "the X11 reader takes XWayland's refusal for 'cannot read now' and records the copy later"
