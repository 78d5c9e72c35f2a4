#!/usr/bin/env bash
# The program on KDE Plasma's compositor: a headless KWin with XWayland. While
# a native window is active, X11 has no clipboard owner at all; a copy made
# then is recorded all the same, through the compositor's clipboard.
. "$(dirname "$0")/lib.sh"
kwin_dir=$(mktemp -d)
# Debian's kwin_wayland carries a file capability that a container refuses
# to grant; a copy carries none.
cp /usr/bin/kwin_wayland "$kwin_dir/kwin_wayland"
mkdir -m 700 "$kwin_dir/run"
# Started by KWin in its session: tells the X display.
printf '#!/bin/sh\necho "$DISPLAY" >%s/display\n' "$kwin_dir" >"$kwin_dir/started"
chmod +x "$kwin_dir/started"
env -i PATH=/usr/bin:/bin HOME="$kwin_dir" XDG_RUNTIME_DIR="$kwin_dir/run" QT_QPA_PLATFORM=offscreen \
  dbus-run-session -- "$kwin_dir/kwin_wayland" --virtual --xwayland --socket wayland-kwin --width 1024 \
  --height 768 "$kwin_dir/started" >"$kwin_dir/kwin.log" 2>&1 &
kwin_session=$!
at_exit "stop_tree $kwin_session"
at_exit "rm -rf $kwin_dir"
wait_until 60 test -s "$kwin_dir/display" || fail "KWin did not start: $(tail -5 "$kwin_dir/kwin.log")"
export DISPLAY WAYLAND_DISPLAY="$kwin_dir/run/wayland-kwin" XDG_RUNTIME_DIR="$kwin_dir/run"
DISPLAY=$(cat "$kwin_dir/display")

start_program
wait_ticks
rows_are 0 || fail "rows at start: $(rows)"
# The native window: the program itself on Qt's Wayland platform, an instance
# of its own (it has no X display), which KWin makes the active window.
env -u DISPLAY QT_QPA_PLATFORM=wayland STOCKKUN_TRACE_TICKS= "$STOCKKUN" >/dev/null 2>&1 &
track_pid $!
no_active_x_window() { xprop -root _NET_ACTIVE_WINDOW | grep -q '# 0x0$'; }
wait_until 30 no_active_x_window || fail "the native window did not become the active one"
wl_copy "copied while a native window is active"
wait_until 30 rows_are 1 || fail "a copy made while a native window is active was not recorded"
pass "on KWin, a copy made while a native window is active is recorded"
