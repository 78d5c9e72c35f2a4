#!/usr/bin/env bash
# The program and these helpers in a shell with no locale at all (POSIX), as
# after `su - user` on a minimal install: window titles, the clipboard round
# trip of non-ASCII and CR LF texts through the history and the About
# window's user name come out right.
if [ -z "${STOCK_POSIX_LOCALE_RUN:-}" ]; then
  exec env -u LANG -u LC_ALL -u LC_CTYPE -u LANGUAGE -u LC_MESSAGES STOCK_POSIX_LOCALE_RUN=1 bash "$0" "$@"
fi
. "$(dirname "$0")/lib.sh"

[ "$(locale charmap 2>/dev/null)" = "ANSI_X3.4-1968" ] || fail "not running in the POSIX locale: $(locale charmap)"

# A property as xprop prints it, decoded in a UTF-8 locale: a title stored
# under the wrong type shows as octal escapes.
property() { LC_ALL=C.UTF-8 xprop -id "$1" "$2" | sed 's/^[^=]*= //'; }

start_program
win=$(main_window)
[ "$(property "$win" WM_NAME)" = "\"$MAIN_TITLE\"" ] || fail "WM_NAME reads $(property "$win" WM_NAME)"
[ "$(property "$win" _NET_WM_NAME)" = "\"$MAIN_TITLE\"" ] || fail "_NET_WM_NAME reads $(property "$win" _NET_WM_NAME)"
pass "the main window's title, in WM_NAME and _NET_WM_NAME"

# The road of one clipboard text: copied in another program, recalled from
# the history, selected and copied back; the same bytes, and they come back
# as one new row on top.
road() {  # FIRST SECOND
  local first=$1 second=$2
  set_clipboard "$first"
  wait_until 5 history_has_ink || fail "first text not recorded"
  local n1; n1=$(history_count)
  set_clipboard "$second"
  wait_until 5 history_grew_past "$n1" || fail "second text not recorded"

  click_at 1500 330                          # row 0: the second text
  xdotool key Down                           # row 1: the first text
  click_at 2000 3500                         # into the edit box
  xdotool key ctrl+a
  wait_ticks 1                               # the keys and the repaint have been handled
  local n2; n2=$(history_count)              # the chosen row is drawn highlighted now
  click_at 1900 5280                         # Copy
  wait_until 3 clipboard_is "$first" || fail "the clipboard holds $(xclip -selection clipboard -o | od -An -c | head -3)"
  wait_until 5 history_grew_past "$n2" || fail "the copied text did not come back as a new row"
  local n3; n3=$(history_count)
  wait_ticks
  [ "$(history_count)" = "$n3" ] || fail "the copied text was recorded more than once"
}
road $'日本語のテキスト ü € 😀\tend' "other"
pass "non-ASCII text goes through the history and back to the clipboard unchanged, and comes back on top once"
click_at 1500 100                            # Clear   History
road $'first\r\nline' "second"
pass "the same with a text holding CR LF"

# The About window: its title, and the user name copied out of its box.
press_about
wait_until 10 has_about_window || fail "no About window"
about=$(about_window)
[ "$(property "$about" WM_NAME)" = "\"$ABOUT_TITLE\"" ] || fail "the About window's WM_NAME reads $(property "$about" WM_NAME)"
xdotool mousemove --window "$about" "$(px 2000)" "$(px 1095)" click 1
xdotool key ctrl+a ctrl+c
user=$(id -un)
wait_until 5 clipboard_is "$user" || fail "the About window's user name reads $(xclip -selection clipboard -o)"
pass "the About window's title and user name ($user)"
