#!/usr/bin/env bash
# A window manager may offer minimizing although the window asks for no such
# box (openbox does): the tray icon's double-click and the topmost toggle
# bring a minimized window back.
. "$(dirname "$0")/lib.sh"

openbox >/dev/null 2>&1 &
track_pid $!
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_until 10 wm_ready || fail "openbox did not start"
trayer --edge top --align right --widthtype request --height 32 --transparent false >/dev/null 2>&1 &
track_pid $!

icon_window() {
  local panel
  for panel in $(xdotool search --class trayer 2>/dev/null); do
    xwininfo -id "$panel" -tree 2>/dev/null | awk '/"stockkun"/ {print $1; exit}'
  done | head -n 1
}
has_icon() { [ -n "$(icon_window)" ]; }
framed() { xprop -id "$main" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; }
minimized() { xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN && ! has_main_window; }
shown() { has_main_window && ! xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN; }
popups() { xdotool search --onlyvisible --class stockkun 2>/dev/null | wc -l; }

start_program
main=$(main_window)
wait_until 10 framed || fail "the window manager did not frame the main window"
wait_until 10 has_icon || fail "no icon in the notification area"
read -r ix iy < <(xwininfo -id "$(icon_window)" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x + 8, y + 8}')

xdotool windowminimize "$main"
wait_until 5 minimized || fail "the window manager did not minimize the window"
xdotool mousemove "$ix" "$iy" click --repeat 2 --delay 60 1
wait_until 5 shown || fail "a double-click on the icon left the window minimized"
pass "the icon's double-click brings a minimized window back"

xdotool windowminimize "$main"
wait_until 5 minimized || fail "the window manager did not minimize the window again"
before=$(popups)
xdotool mousemove "$ix" "$iy" click 3
wait_until 5 bash -c "[ \$(xdotool search --onlyvisible --class stockkun | wc -l) -gt $before ]" || fail "no tray menu"
xdotool key Down Down Down Down Down Return          # "show normal"
wait_until 5 shown || fail "the topmost toggle left the window minimized"
pass "the topmost toggle brings a minimized window back"
