#!/usr/bin/env bash
# The program and these helpers in a shell with no locale at all (POSIX), as
# after `su - user` on a minimal install: window titles, the clipboard round
# trip of non-ASCII text and the About window's user name come out right.
if [ -z "${STOCK_POSIX_LOCALE_RUN:-}" ]; then
  exec env -u LANG -u LC_ALL -u LC_CTYPE -u LANGUAGE -u LC_MESSAGES STOCK_POSIX_LOCALE_RUN=1 bash "$0" "$@"
fi
. "$(dirname "$0")/lib.sh"

[ "$(locale charmap 2>/dev/null)" = "ANSI_X3.4-1968" ] || fail "not running in the POSIX locale: $(locale charmap)"

# A property as xprop prints it, decoded in a UTF-8 locale: a title stored
# under the wrong type shows as octal escapes.
property() { LC_ALL=C.UTF-8 xprop -id "$1" "$2" | sed 's/^[^=]*= //'; }
clipboard_is() { [ "$(xclip -selection clipboard -o 2>/dev/null | od -An -tx1)" = "$(printf '%s' "$1" | od -An -tx1)" ]; }

start_program
win=$(main_window)
[ "$(property "$win" WM_NAME)" = "\"$MAIN_TITLE\"" ] || fail "WM_NAME reads $(property "$win" WM_NAME)"
[ "$(property "$win" _NET_WM_NAME)" = "\"$MAIN_TITLE\"" ] || fail "_NET_WM_NAME reads $(property "$win" _NET_WM_NAME)"
pass "the main window's title, in WM_NAME and _NET_WM_NAME"

# Copied in, recalled, selected, copied out: the same bytes.
text=$'日本語のテキスト ü € 😀\tend'
set_clipboard "$text"
wait_until 5 history_has_ink || fail "the non-ASCII text was not recorded"
rows=$(history_count)
set_clipboard "other"
wait_until 5 history_grew_past "$rows" || fail "the second text was not recorded"
click_at 1500 330          # row 0: "other"
xdotool key Down           # row 1: the non-ASCII text
click_at 2000 3500         # into the edit box
xdotool key ctrl+a
click_at 1900 5280         # Copy
wait_until 5 clipboard_is "$text" || fail "the clipboard holds $(xclip -selection clipboard -o | od -An -c | head -3)"
pass "non-ASCII text goes through the history and back to the clipboard unchanged"

# The About window: its title, and the user name copied out of its box.
click_at $((5040 + 600)) 130  # About
about_title='すとっくん　[いろいろな情報]'
has_about() { [ -n "$(windows_named "$about_title")" ]; }
wait_until 10 has_about || fail "no About window"
about=$(windows_named "$about_title" | head -n 1)
[ "$(property "$about" WM_NAME)" = "\"$about_title\"" ] || fail "the About window's WM_NAME reads $(property "$about" WM_NAME)"
xdotool mousemove --window "$about" "$(px 2000)" "$(px 1095)" click 1
xdotool key ctrl+a ctrl+c
user=$(id -un)
wait_until 5 clipboard_is "$user" || fail "the About window's user name reads $(xclip -selection clipboard -o)"
pass "the About window's title and user name ($user)"
