#!/usr/bin/env bash
# The Windows program's options and its kept history under Wine: --version
# and --help answer on the standard output, a mistake with status 2;
# --keep-history on makes the store in %LOCALAPPDATA%\stockkun; three texts
# copied come back after the program ended and started again, newest first,
# each recalled exactly; --keep-history off removes the store, and the next
# start is empty again.
# Usage: test_wine_kept_history.sh STOCKKUN_EXE XPIXELS
set -uo pipefail
export STOCKKUN=${1:?stockkun.exe} XPIXELS=${2:?xpixels}
PROGRAM_CLASS='^stockkun\.exe$'
source "$(dirname "$0")/../../e2e/lib.sh"
source "$(dirname "$0")/wine_prefix.sh"
start_wine_test
stores="$WINEPREFIX/drive_c/users/*/AppData/Local/stockkun"
rm -rf $stores
at_exit "rm -rf $stores"

wine "$STOCKKUN" --version >"$work/out" 2>&1 || fail "--version ended with status $?"
grep -qx 'stockkun (すとっくん) [0-9.]*' "$work/out" || fail "--version said: $(cat "$work/out")"
wine "$STOCKKUN" --help >"$work/out" 2>&1 && grep -q -- '--keep-history on' "$work/out" || fail "--help said: $(cat "$work/out")"
wine "$STOCKKUN" --keep-history maybe >"$work/out" 2>&1
[ $? -eq 2 ] && grep -q "takes 'on' or 'off'" "$work/out" || fail "a wrong value: $(cat "$work/out")"
wine "$STOCKKUN" --keep-history on >"$work/out" 2>&1 || fail "--keep-history on: $(cat "$work/out")"
ls $stores/history.sqlite3 >/dev/null 2>&1 || fail "no store after --keep-history on: $(cat "$work/out")"
pass "--version, --help and --keep-history on answer on the standard output"

texts=("first kept" $'second\r\nkept\ttext' "third kept ü")
start_wine_program
for i in 0 1 2; do
  put "${texts[$i]}"
  wait_until 30 rows_at_least $((i + 1)) || fail "copy $((i + 1)) did not reach the history"
done
wait_ticks
wineboot --end-session >/dev/null 2>&1 || fail "the program refused the session's end"
ended_with_zero "the session's end"

start_wine_program
wait_until 30 rows_at_least 3 || fail "the next start does not show the three kept texts"
wait_ticks 3
rows_at_least 4 && fail "the text still on the clipboard was added a second time"
# The third row each time: every text copied back becomes a new top row.
for i in 0 1 2; do
  click_at 400 795
  wait_until 10 edit_has_text || fail "the recalled text did not show in the edit box"
  click_at 1500 4000 && xdotool key ctrl+a
  click_at 1927 5287 # Command2, Copy
  wait_until 30 windows_clipboard_is "${texts[$i]}" ||
    fail "row 3 came back as $(od -An -c "$work/got" 2>/dev/null | head -3)"
  wait_until 30 rows_at_least $((4 + i)) || fail "the copied text did not reach the history"
done
wineboot --end-session >/dev/null 2>&1
ended_with_zero "the session's end"
pass "the next start shows the three, newest first, each recalled exactly"

wine "$STOCKKUN" --keep-history off >"$work/out" 2>&1 || fail "--keep-history off: $(cat "$work/out")"
ls $stores/history.sqlite3 >/dev/null 2>&1 && fail "the store is still there after --keep-history off"
start_wine_program
wait_until 30 rows_at_least 1 || fail "the clipboard's text was not taken"
wait_ticks 3
rows_at_least 2 && fail "with the history off the start showed kept rows"
pass "--keep-history off removes the store; the next start holds only the clipboard's text"
