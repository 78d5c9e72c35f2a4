#!/usr/bin/env bash
# A StatusNotifierItem host (KDE Plasma, GNOME's AppIndicator extension and
# most current panels) on a private session bus: the host's activation (a
# left click) shows the hidden window, its context-menu request opens the
# program's menu.
. "$(dirname "$0")/lib.sh"

SNI_WATCHER="${SNI_WATCHER:-$(dirname "$STOCKKUN")/tests/sni_watcher}"
work=$(mktemp -d)
at_exit "rm -rf $work"

dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/address" &
track_pid $!
has_address() { [ -s "$work/address" ]; }
wait_until 10 has_address || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$work/address")"
"$SNI_WATCHER" >"$work/items" 2>/dev/null &
track_pid $!
owned() { dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
  string:org.kde.StatusNotifierWatcher 2>/dev/null | grep -q 'boolean true'; }
wait_until 10 owned || fail "the watcher did not take its name"

start_program
registered() { [ -s "$work/items" ]; }
wait_until 10 registered || fail "the program registered no StatusNotifierItem"
item=$(head -n 1 "$work/items")
sni() { dbus-send --session --type=method_call --dest="$item" /StatusNotifierItem "org.kde.StatusNotifierItem.$1" int32:200 int32:10; }
click_at 4000 5200 # Hide
wait_until 30 no_main_window || fail "Hide did not hide"
sni Activate
wait_until 30 has_main_window || fail "the host's activation did not show the hidden window"
open_menu "the host's context-menu request" sni ContextMenu
pass "the icon is a StatusNotifierItem ($item): its activation shows the hidden window, its menu opens"
