#!/usr/bin/env bash
# The Windows program's layout at two system DPI settings under Wine: 96 in
# the usual prefix, 144 (150 %) in a copy of it whose LogPixels says so. At
# 144 DPI the main window and its controls are 1.5 times as large as at 96,
# since both are placed from the same twips (twips per pixel = 1440 / DPI):
# the window's width, the edit box's width in a row and the history list's
# height in a column.
# (Wine gives every monitor the system DPI and never sends WM_DPICHANGED, so
# a move between monitors of different DPI cannot be shown here.)
# Usage: test_wine_dpi.sh STOCKKUN_EXE XPIXELS
set -uo pipefail
export STOCKKUN=${1:?stockkun.exe} XPIXELS=${2:?xpixels}
PROGRAM_CLASS='^stockkun\.exe$'  # Wine names the class after the executable
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/wine_prefix.sh"
build=$(dirname "$STOCKKUN")
use_wine_prefix "$build"
prefix96=$WINEPREFIX
prefix144="$build/wineprefix-144dpi"

# The copy is made once and reused, as the usual prefix is.
if [ ! -e "$prefix144/.stockkun-144dpi-ready" ]; then
  rm -rf "$prefix144"
  cp -a "$prefix96" "$prefix144" || fail "the Wine prefix could not be copied"
  WINEPREFIX=$prefix144 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
    >/dev/null 2>&1 || fail "LogPixels could not be written"
  WINEPREFIX=$prefix144 wineserver -w
  touch "$prefix144/.stockkun-144dpi-ready"
fi

# Counts the pixels of colour RRGGBB in a rectangle of the main window.
count() { "$XPIXELS" "$win" "$@" 0 | cut -d' ' -f1; }

# Starts the program in PREFIX and measures it at DPI; sets width, height,
# edit_row (light yellow pixels across the window at 3500 twips down) and
# list_column (lavender pixels down the window at 3600 twips across).
measure() {
  local prefix=$1 dpi=$2 pid
  at_exit "env WINEPREFIX=$prefix wineserver -k"
  WINEPREFIX=$prefix wine "$STOCKKUN" >/dev/null 2>&1 &
  pid=$!
  track_pid $pid
  wait_until 90 has_main_window || fail "the main window did not appear at $dpi DPI"
  win=$(main_window)
  # The controls are drawn once the list shows its colour.
  local x=$((3600 * dpi / 1440)) y=$((3500 * dpi / 1440))
  lavender_shown() { [ "$(count "$x" 0 1 "$height" d5d1f3)" -gt 0 ]; }
  read -r width height < <(xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
  wait_until 30 lavender_shown || fail "the history list was not drawn at $dpi DPI"
  edit_row=$(count 0 "$y" "$width" 1 ffffc0)
  list_column=$(count "$x" 0 1 "$height" d5d1f3)
  WINEPREFIX=$prefix wineserver -k
  wait $pid 2>/dev/null
  echo "$dpi DPI: window ${width}x$height, edit box row $edit_row px, history list column $list_column px"
}

# |A * 3 / 2 - B| <= SLACK, in half pixels: B is 1.5 times A.
one_and_a_half() { local d=$(($1 * 3 - $2 * 2)); [ ${d#-} -le $(($3 * 2)) ]; }

measure "$prefix96" 96
w96=$width h96=$height e96=$edit_row l96=$list_column
[ "$w96" = $(((7215 + 7) / 15)) ] || fail "the client area is $w96 pixels wide at 96 DPI, not 7215 twips"
[ "$e96" -gt 200 ] && [ "$l96" -gt 100 ] || fail "the edit box or the history list is missing at 96 DPI"
measure "$prefix144" 144
one_and_a_half "$w96" "$width" 1 || fail "width $width at 144 DPI is not 1.5 times $w96"
one_and_a_half "$h96" "$height" 6 || fail "height $height at 144 DPI is not 1.5 times $h96"
one_and_a_half "$e96" "$edit_row" 3 || fail "the edit box's row, $edit_row px at 144 DPI, is not 1.5 times $e96"
one_and_a_half "$l96" "$list_column" 3 || fail "the list's column, $list_column px at 144 DPI, is not 1.5 times $l96"
pass "at 144 DPI the window and its controls are 1.5 times their size at 96 DPI"
