# Helpers for the end-to-end tests: the built program ($STOCKKUN) driven from
# outside on the X server named by DISPLAY, with xdotool and xclip.
#
# Every process a test starts is tracked by its PID, and only those are
# stopped at the end. The program runs in the caller's locale; the tools
# that match or print window names get a UTF-8 locale of their own.
set -uo pipefail

: "${STOCKKUN:?the built program}"
XPIXELS="${XPIXELS:-$(dirname "$STOCKKUN")/tests/xpixels}"
MAIN_TITLE=' すとっくん  [クリップボードテキスト収集・編集・再利用ツール]'
pids=()        # processes this test started
exit_steps=()  # commands run at exit, after those processes are stopped

fail() { echo "FAIL: $*"; exit 1; }
pass() { echo "ok: $*"; }

xdotool() { LC_ALL=C.UTF-8 command xdotool "$@"; }
export -f xdotool

track_pid() { pids+=("$1"); }
at_exit() { exit_steps+=("$1"); }

# Stops PID if it is still a child of this shell: a PID that has ended and
# been given to another process since is left alone.
stop_pid() {
  ps -o pid= --ppid $$ | grep -qx " *$1" && kill -9 "$1" 2>/dev/null
  wait "$1" 2>/dev/null
  return 0
}

cleanup() {
  local p s
  for p in "${pids[@]}"; do stop_pid "$p"; done
  for s in "${exit_steps[@]}"; do $s; done
  return 0
}
trap cleanup EXIT

# Waits until CONDITION (a command) succeeds, up to SECONDS.
wait_until() {
  local seconds=$1; shift
  local end=$((SECONDS + seconds))
  while ! "$@"; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.1
  done
}

# The program's visible windows (WM_CLASS "stockkun"; Wine names the class
# after the executable, see PROGRAM_CLASS) named exactly NAME, compared byte
# by byte.
PROGRAM_CLASS=${PROGRAM_CLASS:-'^stockkun$'}
windows_named() {
  local w
  for w in $(xdotool search --onlyvisible --class "$PROGRAM_CLASS" 2>/dev/null); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && echo "$w"
  done
  return 0
}
main_windows() { windows_named "$MAIN_TITLE"; }
main_window() { main_windows | head -n 1; }
has_main_window() { [ -n "$(main_window)" ]; }
ABOUT_TITLE='すとっくん　[いろいろな情報]'
about_window() { windows_named "$ABOUT_TITLE" | head -n 1; }
has_about_window() { [ -n "$(about_window)" ]; }
no_about_window() { ! has_about_window; }
running() { kill -0 "$last_pid" 2>/dev/null; }

# Starts the program with the environment changes given (NAME=VALUE ...).
start_program() {
  env "$@" "$STOCKKUN" >/dev/null 2>&1 &
  track_pid $!
  last_pid=$!
  wait_until 15 has_main_window || fail "the main window did not appear"
}

# Puts TEXT on the clipboard from an xclip that stays in the foreground, so
# its PID is known; returns once xclip owns the clipboard. Each xclip ends by
# itself when the next owner takes the clipboard.
set_clipboard() {
  local said; said=$(mktemp)
  xclip -quiet -selection clipboard -i < <(printf '%s' "$1") >/dev/null 2>"$said" &
  track_pid $!
  wait_until 10 grep -q 'Waiting for selection' "$said"
  local rc=$?
  rm -f "$said"
  [ $rc -eq 0 ] || fail "xclip did not take the clipboard"
}

# The program's own clock: it appends a line to this file after every tick
# of its clipboard timer. What a tick would record is recorded once the
# next two ticks have finished, so a test that proves nothing was recorded
# waits for them instead of a fixed time.
ticks_file=$(mktemp)
export STOCKKUN_TRACE_TICKS="$ticks_file"
at_exit "rm -f $ticks_file"
tick_count() { wc -l <"$ticks_file"; }
ticks_past() { [ "$(tick_count)" -ge "$1" ]; }
# Waits until N (2 unless given) more ticks have finished.
wait_ticks() {
  local target=$(($(tick_count) + ${1:-2}))
  wait_until 60 ticks_past "$target" || fail "the program's timer stopped ticking"
}

# The history's rows at the last tick.
rows() { tail -n 1 "$ticks_file" | cut -d' ' -f2; }
rows_are() { [ "$(rows)" = "$1" ]; }
# wl-copy serving TEXT on the Wayland display, in the foreground so that its
# PID is known.
wl_copy() {
  wl-copy --foreground --type 'text/plain;charset=utf-8' < <(printf '%s' "$1") &
  track_pid $!
}

# Ends PID's processes and theirs, the youngest first, by their PIDs.
stop_tree() {
  local child
  for child in $(ps -o pid= --ppid "$1"); do stop_tree "$child"; done
  kill "$1" 2>/dev/null
  return 0
}

# The window manager (openbox) has started: it names its check window.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
start_openbox() {
  openbox >/dev/null 2>&1 &
  track_pid $!
  wait_until 10 wm_ready || fail "openbox did not start"
}
# The window manager has framed WINDOW (the main window unless given).
framed() { xprop -id "${1:-$(main_window)}" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; }

# A notification area of the XEmbed kind (trayer); its PID is trayer_pid.
start_trayer() {
  trayer --edge top --align right --widthtype request --height 32 --transparent false >/dev/null 2>&1 &
  track_pid $!
  trayer_pid=$!
}
# The program's icon window docked in the tray's panel, if any: a child of
# the panel named ICON_OWNER (the program itself; under Wine, its explorer).
ICON_OWNER="${ICON_OWNER:-stockkun}"
icon_window() {
  local panel
  for panel in $(xdotool search --class trayer 2>/dev/null); do
    xwininfo -id "$panel" -tree 2>/dev/null | awk -v name="\"$ICON_OWNER\"" 'index($0, name) {print $1; exit}'
  done | head -n 1
}
has_icon() { [ -n "$(icon_window)" ]; }
# The icon's centre on the screen: "x y"; fails while there is no icon, or it
# is being replaced (without a window, xwininfo would wait for the user to
# pick one).
icon_center() {
  local icon info
  icon=$(icon_window)
  [ -n "$icon" ] || return 1
  info=$(xwininfo -id "$icon" 2>/dev/null) || return 1
  awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x + int(w / 2), y + int(h / 2)}' <<<"$info"
}
# Clicks the icon with xdotool's click ARGS, once it can be found.
press_icon() {
  local at
  at=$(icon_center) || return 1
  xdotool mousemove $at click "$@"
}
# The program's popup menus on the screen: its override-redirect windows
# other than the icon (which an XEmbed tray shows as one too).
program_menus() {
  local w icon
  icon=$(icon_window)
  for w in $(xdotool search --onlyvisible --class stockkun 2>/dev/null); do
    [ "$w" -ne "$((icon))" ] && xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$w"
  done
}
menu_open() { [ -n "$(program_menus)" ]; }
no_menu_open() { ! menu_open; }
# Runs COMMAND (ARGS...), which opens a popup menu, and waits for it (WHAT).
open_menu() {
  local what=$1
  shift
  wait_until 30 no_menu_open || fail "a menu was still open before $what"
  "$@"
  wait_until 30 menu_open || fail "$what did not open"
}
# The tray menu, by a right press on the icon. A press that the X server lets
# go by unseen (XWayland, while the pointer's arrival on the icon is still on
# its way) is made again, once no menu came of it.
open_tray_menu() {
  wait_until 30 no_menu_open || fail "a menu was still open before the tray menu"
  local try
  for try in 1 2 3 4 5; do
    wait_until 30 press_icon 3 && wait_until 5 menu_open && return 0
  done
  fail "the tray menu did not open after $try presses"
}

# The clipboard holds exactly TEXT.
clipboard_is() { [ "$(xclip -selection clipboard -o 2>/dev/null | od -An -c)" = "$(printf '%s' "$1" | od -An -c)" ]; }

# Twips to pixels at 96 DPI.
px() { echo $(( ($1 + 7) / 15 )); }

# Clicks at a point of the main window's client area given in twips.
click_at() { xdotool mousemove --window "$(main_window)" "$(px "$1")" "$(px "$2")" click 1; }
press_about() { click_at $((5040 + 600)) 130; }
# Puts the edit box's whole text on the clipboard with the Copy button.
copy_edit_box() {
  click_at 2000 3500
  xdotool key ctrl+a
  click_at 1900 5280
}

# Blue text pixels in the history list's rows, above its scroll bar:
# "count minY maxY".
history_ink() {
  "$XPIXELS" "$(main_window)" 0 "$(px 240)" "$(px 7215)" "$(( $(px 1950) - 24 ))" 0000ff 100
}
history_count() { history_ink | cut -d' ' -f1; }
history_grew_past() { [ "$(history_count)" -gt "$1" ]; }
no_main_window() { ! has_main_window; }
