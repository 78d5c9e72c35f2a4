#!/usr/bin/env bash
# The Windows program under Wine on the X server named by DISPLAY, with a
# system tray (trayer) run by the test: the About window's "sys" launcher
# driven by a registry key that the test writes, the tray icon's popup menu
# and its exit entry, and the other ways out (the frame's close, the
# session's end), each ending the program with status 0.
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
start_wine_program
wait_until 30 has_icon || fail "the tray icon did not dock in the tray"
click_at 5637 132 # Command9, About
wait_until 30 has_about_window || fail "About did not open the About window"
about=$(about_window)

# "sys" starts the program that the MSINFO PATH value names, with a space in
# it, shown normally: a copy of wine_probe, which leaves "NAME.ran" beside
# itself naming the window style it was given.
tools="$WINEPREFIX/drive_c/stock tools"
rm -rf "$tools" && mkdir -p "$tools"
cp "$PROBE" "$tools/sys info.exe"
at_exit "rm -rf '$tools'"
wine reg add 'HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO' /v PATH /t REG_SZ /d 'C:\stock tools\sys info.exe' /f \
  >/dev/null 2>&1 || fail "reg add failed"
xdotool mousemove --window "$about" "$(px 4482)" "$(px 1014)" click 1
wait_until 30 test -s "$tools/sys info.exe.ran" || fail "sys did not start the program that PATH names"
[ "$(cat "$tools/sys info.exe.ran")" = "show 1" ] || fail "started with $(cat "$tools/sys info.exe.ran")"
pass "sys starts the program named by the MSINFO PATH value, shown normally"

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
wait_until 30 press_icon 3 || fail "the tray icon could not be found to press"
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
pass "the frame's close ends with status 0"

# Wine's end of the session: WM_QUERYENDSESSION and WM_ENDSESSION to every
# window, the About window's too; the program must agree and end.
start_wine_program
wait_until 30 has_icon || fail "the tray icon did not dock in the system tray"
click_at 5637 132
wait_until 30 has_about_window || fail "About did not open the About window"
wineboot --end-session >/dev/null 2>&1 || fail "the program refused the session's end"
ended_with_zero "the session's end"
wait_until 30 no_icon || fail "the tray icon stayed after the session's end"
pass "the session's end ends the program with status 0"
