#!/usr/bin/env bash
# The Windows program under Wine on the X server named by DISPLAY, with a
# system tray (trayer) run by the test: the About window and its "sys"
# launcher driven by registry keys that the test writes, the tray icon's
# popup menu and its exit entry, and every other way out (the frame's
# close, the session's end), each ending the program with status 0.
# Usage: test_wine_tray_about.sh STOCKKUN_EXE XPIXELS XCLOSE
set -uo pipefail
export STOCKKUN=${1:?stockkun.exe} XPIXELS=${2:?xpixels}
XCLOSE=${3:?xclose}
PROGRAM_CLASS='^stockkun\.exe$'  # Wine names the class after the executable
ICON_OWNER=explorer.exe          # Wine's explorer docks every program's icon
source "$(dirname "$0")/../../e2e/lib.sh"
source "$(dirname "$0")/wine_prefix.sh"
start_wine_test

# The tray is there before Wine starts: Wine's explorer docks every
# program's icon in it as a window of its own.
start_trayer
no_icon() { ! has_icon; }
start_wine_program() {
  wine "$STOCKKUN" >/dev/null 2>&1 &
  main_pid=$!
  track_pid $main_pid
  wait_until 60 has_main_window || fail "the main window did not appear"
  win=$(main_window)
}
ended_with_zero() {  # WHAT: the program has ended, with status 0
  wait $main_pid
  local status=$?
  [ $status -eq 0 ] || fail "$1 ended the program with status $status"
}

start_wine_program
wait_until 30 has_icon || fail "the tray icon did not dock in the tray"
pass "the tray icon docks in the system tray"

# ---- About and the system information launcher ------------------------------
click_at 5637 132 # Command9, About
wait_until 30 has_about_window || fail "About did not open the About window"
about=$(about_window)
# Its top edge 1590 twips above the main window's, its left edge on the
# main window's (both frames alike, so their client areas show the same).
origin() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'; }
read -r mx my < <(origin "$win")
read -r ax ay < <(origin "$about")
[ "$ax" -eq "$mx" ] && [ "$ay" -eq $((my - $(px 1590))) ] ||
  fail "the About window stands at $ax,$ay, the main window at $mx,$my"
pass "About opens the About window 1590 twips above the main window"

press_sys() { xdotool mousemove --window "$about" "$(px 4482)" "$(px 1014)" click 1; }
reg() { wine reg "$@" >/dev/null 2>&1; }
LOOKUP1='HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO'
LOOKUP2='HKLM\SOFTWARE\Microsoft\Shared Tools Location'
drop_keys() { reg delete "$LOOKUP1" /f; reg delete "$LOOKUP2" /v MSINFO /f; }
# The program to start: a copy of wine_probe, which leaves "NAME.ran"
# beside itself when started without arguments, naming the window style it
# was given (1: shown normally).
tools="$WINEPREFIX/drive_c/stock tools"
rm -rf "$tools" && mkdir -p "$tools"
cp "$PROBE" "$tools/sys info.exe"
remove_tools() { rm -rf "$tools"; }
at_exit remove_tools

# Neither key: the one message, in a box with the application's title.
drop_keys
press_sys
box_says() { wine "$PROBE" box "$(win_path "$work/box")" >/dev/null 2>&1; }
wait_until 30 box_says || fail "no message box after sys without the registry keys"
cmp -s "$work/box" <(utf16 $'すとっくん\nerror : can\'t use sysinfo now.') ||
  fail "the message box reads: $(iconv -f UTF-16LE -t UTF-8 "$work/box")"
xdotool key Return
no_box() { ! box_says; }
wait_until 30 no_box || fail "Enter did not dismiss the message box"
has_about_window || fail "the About window went with the message box"
pass "sys without the registry keys shows \"error : can't use sysinfo now.\""

# Lookup 1: the full path, with a space, started as it stands.
reg add "$LOOKUP1" /v PATH /t REG_SZ /d 'C:\stock tools\sys info.exe' /f || fail "reg add failed"
press_sys
wait_until 30 test -s "$tools/sys info.exe.ran" || fail "sys did not start the program that PATH names"
[ "$(cat "$tools/sys info.exe.ran")" = "show 1" ] || fail "started with $(cat "$tools/sys info.exe.ran")"
box_says && fail "a message box came with a started program"
pass "sys starts the program named by the MSINFO PATH value"

# ---- the tray menu's exit entry ---------------------------------------------
# A right press on the icon opens the popup menu (an unnamed window of the
# program); "exit" is its last entry. With the About window open, exit
# unloads the main window only: the icon goes, the About window and the
# process stay until the About window is closed.
popup_menu() {
  local w
  for w in $(xdotool search --onlyvisible --class "$PROGRAM_CLASS" 2>/dev/null); do
    [ -z "$(xdotool getwindowname "$w" 2>/dev/null)" ] && echo "$w"
  done | head -n 1
}
has_popup() { [ -n "$(popup_menu)" ]; }
# The tray's window tree is read while Wine may be changing it: a walk that
# meets a window just destroyed reads nothing, so the icon is waited for.
wait_until 30 has_icon || fail "the tray icon left the system tray"
xdotool mousemove $(icon_center) click 3
wait_until 30 has_popup || fail "a right press on the tray icon opened no menu"
eval "$(xdotool getwindowgeometry --shell "$(popup_menu)")"
xdotool mousemove $((X + 20)) $((Y + HEIGHT - 8)) click 1
wait_until 30 no_main_window || fail "the menu's exit did not unload the main window"
wait_until 30 no_icon || fail "the tray icon stayed after the main window's unload"
has_about_window || fail "the menu's exit closed the About window"
kill -0 $main_pid 2>/dev/null || fail "the program ended with its About window open"
xdotool mousemove --window "$about" "$(px 4470)" "$(px 472)" click 1 # cmdOK
ended_with_zero "the tray menu's exit and then OK"
pass "the tray menu's exit with About open, then OK, ends with status 0"

# ---- the frame's close, and the session's end --------------------------------
start_wine_program
"$XCLOSE" "$win"
ended_with_zero "the frame's close"
no_main_window || fail "the main window stayed after its close"
pass "the frame's close ends with status 0"

# Wine's end of the session: WM_QUERYENDSESSION and WM_ENDSESSION to every
# window, the About window's too; the program must agree and end.
start_wine_program
wait_until 30 has_icon || fail "the tray icon did not dock in the system tray"
click_at 5637 132
wait_until 30 has_about_window || fail "About did not open the About window"
wineboot --end-session >/dev/null 2>&1 || fail "the program refused the session's end"
ended_with_zero "the session's end"
no_main_window && ! has_about_window || fail "a window stayed after the session's end"
wait_until 30 no_icon || fail "the tray icon stayed after the session's end"
pass "the session's end ends the program with status 0"
