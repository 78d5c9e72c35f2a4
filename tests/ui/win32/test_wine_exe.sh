#!/usr/bin/env bash
# The Windows program under Wine on the X server named by DISPLAY, driven
# from outside: its main window with the exact title and every control at
# its place, a second start that ends with status 0 and shows nothing, a
# text put on the X clipboard that reaches the history once (Wine bridges
# the X clipboard), line breaks kept through recall and Copy, Delete and
# Clear History, texts marked secrets never recorded nor read, and Exit
# with the About window open.
# Usage: test_wine_exe.sh STOCKKUN_EXE XPIXELS
# The Wine prefix is kept beside the executable and reused: its first start
# is slow.
set -uo pipefail
export STOCKKUN=${1:?stockkun.exe} XPIXELS=${2:?xpixels}
PROGRAM_CLASS='^stockkun\.exe$'  # Wine names the class after the executable
source "$(dirname "$0")/../../e2e/lib.sh"
source "$(dirname "$0")/wine_prefix.sh"
start_wine_test

# The program's tick file, by its name on Wine's drive for the root.
export STOCKKUN_TRACE_TICKS="$(win_path "$ticks_file")"
# The pointer away from where the window will be: no control looks hovered.
xdotool mousemove 0 1023
wine "$STOCKKUN" >/dev/null 2>&1 &
main_pid=$!
track_pid $main_pid
wait_until 60 has_main_window || fail "the main window did not appear"
win=$(main_window)
pass "main window with its exact title"

# ---- the layout at 96 DPI ---------------------------------------------------
# Wine draws the child controls inside the main window's one X window, so
# each control is found by the colours that it draws at its edges, in
# Wine's default theme: a push button has a 1-pixel frame of aeaeae, the
# list and the text boxes one of 9e9e9e. A control is at its place when its
# frame runs exactly along the pixel rectangle of its twips (15 per pixel):
# moved or resized by one pixel, a frame line misses.
wrong=()
run_is() {  # X Y W H COLOUR: every pixel of the rectangle has the colour
  [ "$("$XPIXELS" "$win" "$1" "$2" "$3" "$4" "$5" 4 | cut -d' ' -f1)" -eq $(($3 * $4)) ]
}
run_lacks() {  # X Y W H COLOUR: no pixel of the rectangle has the colour
  [ "$("$XPIXELS" "$win" "$1" "$2" "$3" "$4" "$5" 4 | cut -d' ' -f1)" -eq 0 ]
}
check() {  # NAME COMMAND...: NAME goes on the list of misplaced controls
  local name=$1; shift
  "$@" || wrong+=("$name")
}
button_at() {  # NAME LEFT TOP WIDTH HEIGHT (twips); its rounded corners left out
  local x0 y0 x1 y1
  x0=$(px "$2") y0=$(px "$3") x1=$(px $(($2 + $4))) y1=$(px $(($3 + $5)))
  check "$1 left" run_is "$x0" $((y0 + 3)) 1 $((y1 - y0 - 6)) aeaeae
  check "$1 right" run_is $((x1 - 1)) $((y0 + 3)) 1 $((y1 - y0 - 6)) aeaeae
  check "$1 top" run_is $((x0 + 3)) "$y0" $((x1 - x0 - 6)) 1 aeaeae
  check "$1 bottom" run_is $((x0 + 3)) $((y1 - 1)) $((x1 - x0 - 6)) 1 aeaeae
}
# The labels' text, in their colours on the black window: inside its
# rectangle where that is not covered, and centred in the whole rectangle.
ink_columns() {  # X0 X1 Y0 Y1 COLOUR: "first last" column holding the colour
  local x first=-1 last=-1
  for ((x = $1; x < $2; x++)); do
    if ! run_lacks "$x" "$3" 1 $(($4 - $3)) "$5"; then
      [ $first -lt 0 ] && first=$x
      last=$x
    fi
  done
  echo "$first $last"
}
label_at() {  # NAME LEFT TOP WIDTH HEIGHT (twips) COLOUR, then the part seen: X0 X1 Y0 Y1 (pixels)
  local x0 y0 x1 y1 first last top bottom
  x0=$(px "$2") y0=$(px "$3") x1=$(px $(($2 + $4))) y1=$(px $(($3 + $5)))
  read -r first last < <(ink_columns "$7" "$8" "$9" "${10}" "$6")
  read -r _ top bottom < <("$XPIXELS" "$win" "$7" "$9" $(($8 - $7)) $((${10} - $9)) "$6" 4)
  top=$((top + $9)) bottom=$((bottom + $9))
  if [ "$first" -lt 0 ] || [ "$top" -lt "$y0" ] || [ "$bottom" -ge "$y1" ] || [ "$first" -lt "$x0" ] ||
    [ "$last" -ge "$x1" ] || [ $((first + last - x0 - x1 + 1)) -gt 4 ] || [ $((first + last - x0 - x1 + 1)) -lt -4 ]; then
    wrong+=("$1 (text at x $first..$last, y $top..$bottom)")
  fi
}
layout_checks() {
  wrong=()
  button_at Command1 1080 0 2175 265
  button_at Command5 3260 0 1785 265
  button_at Command9 5040 0 1195 265
  button_at Command7 6240 0 975 265
  button_at Command4 0 5160 1320 255
  button_at Command2 1320 5160 1215 255
  button_at Command3 2540 5160 1455 255
  button_at Command6 3990 5160 1530 255
  button_at Command8 5520 5160 1695 255
  # The history list (0, 240, 7215, 1950): its top edge shows left of
  # Command1, its sides down to the text boxes, which cover its lower 30
  # twips; its horizontal scroll bar's track ends right on the boxes' top.
  top_row=$(px 240) boxes_top=$(px 2160)
  check "List1 top" run_is 3 "$top_row" $(($(px 1080) - 6)) 1 9e9e9e
  check "List1 left" run_is 0 $((top_row + 3)) 1 $((boxes_top - top_row - 6)) 9e9e9e
  check "List1 right" run_is $(($(px 7215) - 1)) $((top_row + 3)) 1 $((boxes_top - top_row - 6)) 9e9e9e
  check "List1 back" run_is 1 $((top_row + 2)) 1 40 d5d1f3
  check "List1 bottom" run_is 40 $((boxes_top - 1)) 400 1 f5f5f5
  # The edit box (0, 2160, 3975, 3015): the bottom row of buttons covers its
  # lower 15 twips, so its light yellow reaches the buttons' top.
  edit_right=$(px 3975) buttons_top=$(px 5160)
  check "RichTextBox1 top" run_is 3 "$boxes_top" $((edit_right - 6)) 1 9e9e9e
  check "RichTextBox1 left" run_is 0 $((boxes_top + 3)) 1 $((buttons_top - boxes_top - 6)) 9e9e9e
  check "RichTextBox1 right" run_is $((edit_right - 1)) $((boxes_top + 3)) 1 $((buttons_top - boxes_top - 6)) 9e9e9e
  check "RichTextBox1 bottom" run_is 1 $((buttons_top - 1)) $((edit_right - 2)) 1 ffffc0
  # The current clip box (3960, 2160, 3255, 2730), all four edges.
  x0=$(px 3960) x1=$(px 7215) y1=$(px 4890)
  check "RichTextBox2 top" run_is $((x0 + 3)) "$boxes_top" $((x1 - x0 - 6)) 1 9e9e9e
  check "RichTextBox2 left" run_is "$x0" $((boxes_top + 3)) 1 $((y1 - boxes_top - 6)) 9e9e9e
  check "RichTextBox2 right" run_is $((x1 - 1)) $((boxes_top + 3)) 1 $((y1 - boxes_top - 6)) 9e9e9e
  check "RichTextBox2 bottom" run_is $((x0 + 3)) $((y1 - 1)) $((x1 - x0 - 6)) 1 9e9e9e
  check "RichTextBox2 back" run_is $((x0 + 1)) $((boxes_top + 1)) $((x1 - x0 - 2)) 1 c0ffc0
  # Line1 (5760, 4800) to (5760, 5160), in Wine's scroll-bar colour (white),
  # seen between the current clip box and the bottom buttons.
  line_x=$(px 5760)
  check "Line1" run_is "$line_x" "$y1" 1 $((buttons_top - y1)) ffffff
  check "Line1 width" run_lacks $((line_x - 1)) $((y1 + 1)) 1 $((buttons_top - y1 - 1)) ffffff
  check "Line1 width" run_lacks $((line_x + 1)) $((y1 + 1)) 1 $((buttons_top - y1 - 1)) ffffff
  # Label1 lies partly under Command1 and the list, Label4 partly under the
  # edit box; Label2 is cut off by the window's right edge. Between the
  # current clip box and the bottom buttons only the labels and the line show.
  label_at Label1 0 0 1215 255 d5d1f3 0 "$(px 1080)" 0 "$top_row"
  label_at Label4 3770 4920 2055 195 ffffc0 "$edit_right" "$line_x" "$y1" "$buttons_top"
  label_at Label2 5880 4920 1455 195 c0ffc0 $((line_x + 1)) "$(px 7215)" "$y1" "$buttons_top"
  [ ${#wrong[@]} -eq 0 ]
}
# The window is mapped before Wine has painted every control: the checks
# are repeated until they all hold, or the time-out reports what is wrong.
wait_until 20 layout_checks || fail "misplaced at 96 DPI: ${wrong[*]}"
# The client area, 7215 x 5415 twips, is the window's X window; the window
# stands centred across the 1280-pixel screen.
read -r wx ww wh < <(xwininfo -id "$win" | awk '/Absolute upper-left X/ {x=$4} /Width:/ {w=$2} /Height:/ {h=$2}
  END {print x, w, h}')
[ "$ww" -eq "$(px 7215)" ] && [ "$wh" -eq "$(px 5415)" ] || fail "client area ${ww}x${wh}"
[ $((2 * wx + ww - 1280)) -le 4 ] && [ $((2 * wx + ww - 1280)) -ge -4 ] || fail "not centred: left edge at $wx"
pass "every control at its place at 96 DPI"

wine "$STOCKKUN" >/dev/null 2>&1 &
second=$!
track_pid $second
wait $second
status=$?
[ $status -eq 0 ] || fail "a second start ended with status $status"
[ "$(main_windows | wc -l)" -eq 1 ] || fail "a second start showed a window"
kill -0 $main_pid 2>/dev/null || fail "the first instance ended"
pass "a second start ends with status 0 and shows nothing"

# The history's rows: blue text on lavender, from the list's top at 240
# twips; a row is 13 pixels high in Wine's default font at 96 DPI.
blue_in_row() {  # ROW -> number of blue pixels in it
  "$XPIXELS" "$win" 4 $((18 + 13 * $1)) 460 11 0000ff 80 | cut -d' ' -f1
}
selected_row() {  # ROW: it is the list's current row (Wine's highlight colour)
  [ "$("$XPIXELS" "$win" 4 $((18 + 13 * $1)) 460 11 3096fa 8 | cut -d' ' -f1)" -gt 0 ]
}
rows_at_least() {  # N: row N-1 holds text
  [ "$(blue_in_row $(($1 - 1)))" -gt 0 ] || selected_row $(($1 - 1))
}
[ "$(blue_in_row 0)" = 0 ] || fail "the history is not empty at start"
set_clipboard "wine history $$"
wait_until 30 rows_at_least 1 ||
  fail "the X clipboard's text did not reach the history"
# A second text comes on top of the first; a first text taken again on a
# later tick would stand as a third row.
set_clipboard "wine second $$"
wait_until 30 rows_at_least 2 || fail "a second text did not reach the history"
[ "$(blue_in_row 2)" = 0 ] || fail "a text was taken more than once"
pass "a text on the X clipboard reaches the history once"

# ---- line breaks through recall and Copy ------------------------------------
# wine_probe reads and writes the Windows clipboard itself, so what the
# program holds is seen apart from what Wine's X bridge makes of it.
windows_clipboard_is() {  # TEXT: the Windows clipboard holds exactly TEXT
  rm -f "$work/got"
  wine "$PROBE" get "$(win_path "$work/got")" >/dev/null 2>&1 &&
    cmp -s "$work/got" <(utf16 "$1")
}
edit_has_text() { [ "$("$XPIXELS" "$win" 4 $((boxes_top + 2)) 200 60 000000 60 | cut -d' ' -f1)" -gt 0 ]; }
# From the Windows side, with no X bridge on the way in: CR LF, a lone CR
# and a lone LF all come back exactly. The top row is recalled and all of it
# selected; another text takes the clipboard and the top row; Copy.
exact=$'x\r\ny\rz\nw\r\nv'
utf16 "$exact" >"$work/exact"
utf16 "marker $$" >"$work/marker"
wine "$PROBE" put "$(win_path "$work/exact")" >/dev/null 2>&1 || fail "wine_probe could not write the clipboard"
wait_until 30 rows_at_least 3 || fail "the Windows text did not reach the history"
click_at 400 400 # the top row
wait_until 10 edit_has_text || fail "the recalled text did not show in the edit box"
click_at 1500 4000 && xdotool key ctrl+a
wine "$PROBE" put "$(win_path "$work/marker")" >/dev/null 2>&1 || fail "wine_probe could not write the clipboard"
wait_until 30 rows_at_least 4 || fail "the marker text did not reach the history"
click_at 1927 5287 # Command2, Copy
wait_until 30 windows_clipboard_is "$exact" ||
  fail "Copy put $(od -An -c "$work/got" 2>/dev/null) on the clipboard"
wait_until 30 rows_at_least 5 || fail "the copied text did not come back as the top row"
pass "recall and Copy keep CR LF, a lone CR and a lone LF exactly"
# Delete of all of the edit box's text, and Clear History.
edit_is_empty() { ! edit_has_text; }
click_at 1500 4000 && xdotool key ctrl+a
click_at 4152 132 # Command5, Delete
wait_until 10 edit_is_empty || fail "Delete left text in the edit box"
click_at 2167 132 # Command1, Clear History
history_is_empty() { [ "$(blue_in_row 0)" = 0 ]; }
wait_until 10 history_is_empty || fail "Clear History left rows"
pass "Delete and Clear History"

# ---- texts their owners mark secrets ---------------------------------------
# Neither recorded nor even read, while the program's ticks go on; the plain
# text after them is recorded as usual.
for mark in exclude nohistory; do
  said="$work/secret-$mark"
  wine "$PROBE" secret "$mark" "secret $mark $$" >"$said" 2>&1 &
  track_pid $!
  wait_until 30 grep -q "^owner" "$said" || fail "the $mark owner did not take the clipboard: $(cat "$said")"
  wait_ticks 3
  rows_at_least 1 && fail "a text marked $mark was recorded"
  grep -q "text asked" "$said" && fail "the text of a secret marked $mark was read"
done
set_clipboard "plain after the secrets $$"
wait_until 30 rows_at_least 1 || fail "the plain text after the secrets did not reach the history"
pass "texts marked secrets are neither recorded nor read"

# Exit, the button at the top right, with the About window open: both go.
click_at 5637 132 # Command9, About
wait_until 30 has_about_window || fail "About did not open the About window"
xdotool mousemove --window "$win" "$(px 6700)" "$(px 130)" click 1
wait_until 30 no_main_window || fail "Exit did not take the main window away"
wait_until 30 no_about_window || fail "Exit left the About window open"
wait $main_pid
status=$?
[ $status -eq 0 ] || fail "Exit ended with status $status"
pass "Exit with the About window open closes both and ends with status 0"
