#!/usr/bin/env bash
# Clipboard owners that hang or mark their text a secret add no row, and the
# window keeps answering while an owner hangs. Paste, which the user asks
# for, still puts a secret in the edit box, and adds no row either.
. "$(dirname "$0")/lib.sh"
OWNER="$(dirname "$STOCKKUN")/tests/test_owner"
[ -x "$OWNER" ] || fail "test_owner not built"

# Starts test_owner with ARGS and waits until it owns the clipboard.
start_owner() {
  exec 3< <("$OWNER" "$@")
  track_pid $!
  owner_pid=$!
  local line=""
  read -r -t 5 -u 3 line
  [ "$line" = ready ] || fail "test_owner $* did not take the clipboard"
}

set_clipboard "before the owners"
start_program
wait_until 5 history_has_ink || fail "the clipboard text at start-up was not taken"
rows=$(history_count)

start_owner hang
wait_ticks 4  # longer than a fetch may stall
[ "$(history_count)" = "$rows" ] || fail "an owner that never answers added a row"
pass "an owner that never answers adds no row"

secret=$(mktemp)
printf 'hunter2' > "$secret"
start_owner hint secret "$secret"
wait_ticks
[ "$(history_count)" = "$rows" ] || fail "a secret was recorded"
pass "a text marked secret is not recorded"

click_at 2000 3500     # into the edit box
click_at 3260 5280     # Paste
wait_ticks
[ "$(history_count)" = "$rows" ] || fail "the pasted secret was recorded"
# What Paste put in the edit box, copied back: the secret itself. The owner
# goes first, so that only the Copy can put the text on the clipboard.
stop_pid "$owner_pid"
wait_until 5 clipboard_is "" || fail "the secret owner did not go"
click_at 2000 3500
xdotool key ctrl+a
wait_ticks 1
click_at 1900 5280     # Copy
wait_until 5 clipboard_is "hunter2" || fail "Paste did not put the secret in the edit box: $(xclip -selection clipboard -o 2>/dev/null)"
rm -f "$secret"
pass "Paste puts the secret in the edit box and adds no row"

set_clipboard "after the owners"
wait_until 5 history_grew_past "$rows" || fail "a text copied after them was not recorded"
pass "a text copied after them is recorded"

# How fast the window answers meanwhile is measured by make bench.
start_owner hang
wait_ticks 1
click_at 4000 5200  # Hide
wait_until 5 no_main_window || fail "Hide did not hide while the owner hangs"
pass "Hide answers while the owner hangs"
