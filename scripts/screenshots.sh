#!/usr/bin/env bash
# Renews the README's screenshots from the built program on a private X
# server: docs/main-window.png (the main window with a short history) and
# docs/tray-menu.png (the tray icon's menu, opened in a real tray host).
# Usage: screenshots.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
if [ -z "${STOCK_SCREENSHOTS_XVFB:-}" ]; then
  STOCK_SCREENSHOTS_XVFB=1 exec scripts/with-xvfb.sh "$0" "$build"
fi
export STOCKKUN="$build/stockkun"
mkdir -p docs
# The end-to-end tests' helpers: windows, the tray, processes stopped by PID.
source tests/e2e/lib.sh
set +eu  # the helpers expect neither

geometry() {  # WINDOW -> "x y w h" on the screen
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}
# The lowest blue text pixel in the history list: it moves down with each row.
history_bottom() { history_ink | cut -d' ' -f3; }
history_below() { [ "$(history_bottom)" -gt "$1" ]; }

start_openbox
start_trayer
start_program
wait_until 15 has_icon || fail "no tray icon"

bottom=-1
for text in "Meeting at 10:00 in room 3" "https://stockkun.example/" "すとっくんはクリップボードのテキストを集めます"; do
  set_clipboard "$text"
  wait_until 10 history_below "$bottom" || fail "the history did not take: $text"
  bottom=$(history_bottom)
done
xdotool mousemove 0 1023
sleep 0.3  # let the last row and the pointer's leaving settle on screen
import -frame -window "$(main_window)" -depth 8 -strip docs/main-window.png

read -r ix iy iw ih < <(geometry "$(icon_window)")
before=$(xdotool search --onlyvisible --class stockkun | sort)
popup() { comm -13 <(echo "$before") <(xdotool search --onlyvisible --class stockkun | sort) | head -n 1; }
has_popup() { [ -n "$(popup)" ]; }
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 3
wait_until 5 has_popup || fail "the tray menu did not open"
sleep 0.3  # the menu's first paint
read -r mx my mw mh < <(geometry "$(popup)")
px=$ix py=$iy pw=$iw ph=$ih
# The tray icon and the menu beside it, with a margin.
left=$(( (mx < px ? mx : px) - 24 )); top=$(( (my < py ? my : py) - 8 ))
right=$(( (mx + mw > px + pw ? mx + mw : px + pw) + 8 )); bottom=$(( (my + mh > py + ph ? my + mh : py + ph) + 8 ))
left=$((left < 0 ? 0 : left)); top=$((top < 0 ? 0 : top))
right=$((right > 1280 ? 1280 : right)); bottom=$((bottom > 1024 ? 1024 : bottom))
import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage -depth 8 -strip docs/tray-menu.png
xdotool key Escape
ls -l docs/main-window.png docs/tray-menu.png
