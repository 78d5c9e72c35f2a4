# Helpers for the end-to-end tests: the built program ($STOCKKUN) driven from
# outside on the X server named by DISPLAY, with xdotool and xclip.
set -uo pipefail

: "${STOCKKUN:?the built program}"
XPIXELS="${XPIXELS:-$(dirname "$STOCKKUN")/tests/xpixels}"
TITLE_PATTERN='すとっくん  \['
pids=()

fail() { echo "FAIL: $*"; exit 1; }
pass() { echo "ok: $*"; }

cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  pkill -x xclip 2>/dev/null
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

main_windows() { xdotool search --onlyvisible --name "$TITLE_PATTERN" 2>/dev/null; }
main_window() { main_windows | head -n 1; }
has_main_window() { [ -n "$(main_window)" ]; }

start_program() {
  "$STOCKKUN" >/dev/null 2>&1 &
  pids+=($!)
  last_pid=$!
  wait_until 15 has_main_window || fail "the main window did not appear"
}

set_clipboard() { printf '%s' "$1" | xclip -selection clipboard -i; }

# Twips to pixels at 96 DPI.
px() { echo $(( ($1 + 7) / 15 )); }

# Clicks at a point of the main window's client area given in twips.
click_at() {
  local win; win=$(main_window)
  xdotool mousemove --window "$win" "$(px "$1")" "$(px "$2")" click 1
}

# Blue text pixels in the history list's rows, above its scroll bar:
# "count minY maxY".
history_ink() {
  "$XPIXELS" "$(main_window)" 0 "$(px 240)" "$(px 7215)" "$(( $(px 1950) - 24 ))" 0000ff 100
}
history_has_ink() { [ "$(history_ink | cut -d' ' -f1)" -gt 0 ]; }
history_count() { history_ink | cut -d' ' -f1; }
history_grew_past() { [ "$(history_count)" -gt "$1" ]; }
no_main_window() { ! has_main_window; }
