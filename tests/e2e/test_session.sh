#!/usr/bin/env bash
# One session as a user has it, in a shell with no locale at all (POSIX, as
# after `su - user` on a minimal install), under a window manager (openbox)
# beside a tray host (trayer, XEmbed): texts copied in other programs come
# back exactly (non-ASCII, CR LF, lone CR) through recall, Copy, Cut and
# undo; a draft stays until the user picks a
# row; the icon shows the hidden window, and its menu switches the topmost
# mode.
if [ -z "${STOCK_POSIX_LOCALE_RUN:-}" ]; then
  exec env -u LANG -u LC_ALL -u LC_CTYPE -u LANGUAGE -u LC_MESSAGES STOCK_POSIX_LOCALE_RUN=1 bash "$0" "$@"
fi
. "$(dirname "$0")/lib.sh"
[ "$(locale charmap 2>/dev/null)" = "ANSI_X3.4-1968" ] || fail "not running in the POSIX locale: $(locale charmap)"

# A property as xprop prints it, decoded in a UTF-8 locale: a title stored
# under the wrong type shows as octal escapes.
property() { LC_ALL=C.UTF-8 xprop -id "$1" "$2" | sed 's/^[^=]*= //'; }
state() { xprop -id "$main" _NET_WM_STATE; }
on_top_without_taskbar_button() { state | grep -q _NET_WM_STATE_ABOVE && state | grep -q _NET_WM_STATE_SKIP_TASKBAR; }
not_above() { ! state | grep -q _NET_WM_STATE_ABOVE; }
minimized() { state | grep -q _NET_WM_STATE_HIDDEN && ! has_main_window; }
shown() { has_main_window && ! state | grep -q _NET_WM_STATE_HIDDEN; }
active_is_main() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$main" ]; }
# Dark text pixels in the edit box.
edit_box_ink() { "$XPIXELS" "$main" "$(px 60)" "$(px 2220)" "$(px 3800)" "$(px 2800)" 000000 120 | cut -d' ' -f1; }
# Copies the edit box's whole text; the clipboard must then hold TEXT.
copied_is() {
  copy_edit_box
  wait_until 30 clipboard_is "$1" || fail "$2: the clipboard holds $(xclip -selection clipboard -o | od -An -c | head -3)"
}
# The history shows no more rows after two more ticks.
no_new_row() {
  local n
  n=$(history_count)
  wait_ticks
  [ "$(history_count)" = "$n" ] || fail "$1"
}

start_openbox
start_trayer
first=$'日本語のテキスト ü € 😀\tend'
set_clipboard "$first"
start_program
main=$(main_window)
wait_until 10 framed "$main" || fail "the window manager did not frame the main window"
wait_until 10 has_icon || fail "no icon in the notification area"
wait_until 30 history_grew_past 0 || fail "the clipboard text at start-up was not taken"
for p in WM_NAME _NET_WM_NAME; do
  [ "$(property "$main" $p)" = "\"$MAIN_TITLE\"" ] || fail "$p reads $(property "$main" $p)"
done
wait_until 30 on_top_without_taskbar_button || fail "_NET_WM_STATE at start: $(state)"
pass "the text at start-up taken; the window on top, without a taskbar button, titled; the icon in the tray"

open_tray_menu
xdotool key Escape
wait_until 30 active_is_main || xdotool windowactivate "$main"
wait_ticks
[ "$(edit_box_ink)" -eq 0 ] || fail "closing the tray menu filled the edit box"
click_at 2000 3500
xdotool type --delay 20 "my draft"
click_at 3000 1700 # the list, below its only row
n=$(history_count)
set_clipboard "arriving meanwhile"
wait_until 30 history_grew_past "$n" || fail "the text arriving meanwhile was not recorded"
copied_is "my draft" "the draft was replaced"
pass "closing the tray menu, a click on the list's empty part and a new row recall nothing"

# The first text, recalled from the bottom row and copied back: the same
# bytes, and one new row on top.
click_at 1500 330
xdotool key End
click_at 2000 3500
xdotool key ctrl+a
wait_ticks 1 # the keys and the repaint have been handled
n=$(history_count)
click_at 1900 5280 # Copy
wait_until 30 clipboard_is "$first" || fail "the recalled text came back as $(xclip -selection clipboard -o | od -An -c | head -3)"
wait_until 30 history_grew_past "$n" || fail "the copied text did not come back as a new row"
no_new_row "the copied text was recorded more than once"
pass "non-ASCII text goes through the history and back to the clipboard unchanged, and comes back on top once"

text=$'one\r\ntwo\rthree\nfour'
n=$(history_count)
set_clipboard "$text"
wait_until 30 history_grew_past "$n" || fail "the CR LF text was not recorded"
click_at 1500 330 # recall the top row
set_clipboard "something else"
click_at 2000 3500
xdotool key ctrl+a
click_at 600 5280 # Cut
wait_until 30 clipboard_is "$text" || fail "Cut did not put the text on the clipboard"
click_at 2000 3500
xdotool key ctrl+z ctrl+shift+z ctrl+z # undo, redo, undo
set_clipboard "something else again"
copied_is "$text" "after Cut, undo, redo, undo"
pass "Cut, undo, redo, undo bring CR LF and lone CR back exactly"

# The icon's double-click shows the hidden window; "show normal" from its
# menu brings a minimized window back, no longer on top.
click_at 4000 5200 # Hide
wait_until 30 no_main_window || fail "Hide did not hide"
wait_until 30 press_icon --repeat 2 --delay 60 1 || fail "the tray icon could not be found to press"
wait_until 30 has_main_window || fail "a double-click on the icon did not show the window"
pass "the icon's double-click shows the hidden window"

xdotool windowminimize "$main"
wait_until 30 minimized || fail "the window manager did not minimize the window"
open_tray_menu
xdotool key Down Down Down Down Down Return # edit, delete, clear history, hide, show normal
wait_until 30 shown || fail "the topmost toggle left the window minimized"
wait_until 30 not_above || fail "show normal from the popup left the window on top"
pass "\"show normal\" from the tray menu brings a minimized window back, not on top"

