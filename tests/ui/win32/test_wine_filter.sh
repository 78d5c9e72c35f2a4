#!/usr/bin/env bash
# The history filter of the Windows program under Wine, typed with real keys:
# a letter typed into the focused history list opens the filter field
# holding it, the list shows only the matching rows and the field their
# count; typing and Backspace narrow and widen it; Down in the field makes
# the next shown row current and recalls its exact text; Esc closes the
# field and shows every row again, the current row kept; Ctrl+F in the edit
# box opens the field too, and types nothing there.
# Usage: test_wine_filter.sh STOCKKUN_EXE
set -uo pipefail
export STOCKKUN=${1:?stockkun.exe}
PROGRAM_CLASS='^stockkun\.exe$'  # Wine names the class after the executable
source "$(dirname "$0")/../../e2e/lib.sh"
source "$(dirname "$0")/wine_prefix.sh"
start_wine_test

export STOCKKUN_TRACE_TICKS="$(win_path "$ticks_file")"
wine "$STOCKKUN" >/dev/null 2>&1 &
track_pid $!
wait_until 60 has_main_window || fail "the main window did not appear"

# What the main window shows, as wine_probe reads it from the controls.
shown() {
  rm -f "$work/shown"
  wine "$PROBE" list "$(win_path "$work/shown")" >/dev/null 2>&1 && iconv -f UTF-16LE -t UTF-8 "$work/shown"
}
shows() { [ "$(shown)" = "$1" ]; }
expect() {  # WHAT EXPECTED: waits until the window shows EXPECTED
  wait_until 30 shows "$2" || fail "$1; the window shows:
$(shown)"
}
rows_are() { [ "$(shown | grep -c '^row ')" -eq "$1" ]; }

# Three texts from the Windows side, one per tick; the newest stands first.
texts=("kiwi 😀 one" "lime two" "kiwi three")
for i in 0 1 2; do
  utf16 "${texts[$i]}" >"$work/text"
  wine "$PROBE" put "$(win_path "$work/text")" >/dev/null 2>&1 || fail "wine_probe could not write the clipboard"
  wait_until 30 rows_are $((i + 1)) || fail "text $i did not reach the history: $(shown)"
done
all_rows="row kiwi three
row lime two
row kiwi 😀 one"

click_at 400 300 # the top row: the list has the keyboard
expect "the top row was not recalled" "no field
focus list
current 0
box kiwi three
$all_rows"
# "k" typed: the two rows that hold it, the top one current.
k_shown="field k
count 2 / 3
focus field
current 0
box kiwi three
row kiwi three
row kiwi 😀 one"
xdotool key k
expect "a letter typed into the list did not open the filter on the matching rows" "$k_shown"
xdotool key w
expect "a second letter did not narrow the rows" "field kw
count 0 / 3
focus field
current -1
box kiwi three"
xdotool key BackSpace
expect "Backspace did not widen the rows again" "$k_shown"
xdotool key Down
expect "Down in the field did not recall the next shown row" "field k
count 2 / 3
focus field
current 1
box kiwi 😀 one
row kiwi three
row kiwi 😀 one"
pass "typing filters the rows, the count follows, Down recalls a shown row exactly"

xdotool key Escape
expect "Esc did not close the filter keeping the current row" "no field
focus list
current 2
box kiwi 😀 one
$all_rows"
pass "Esc closes the filter and shows every row, the current one kept"

click_at 1500 4000 # the edit box
xdotool key ctrl+f
expect "Ctrl+F in the edit box did not open the filter" "field 
count 3 / 3
focus field
current 2
box kiwi 😀 one
$all_rows"
xdotool key Escape
expect "Esc did not close the filter opened by Ctrl+F" "no field
focus list
current 2
box kiwi 😀 one
$all_rows"
pass "Ctrl+F in the edit box opens the filter and types nothing there"
