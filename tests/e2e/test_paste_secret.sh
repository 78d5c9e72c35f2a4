#!/usr/bin/env bash
# A text that its owner marks secret is never recorded, but Paste, which the
# user asks for, puts it in the edit box.
. "$(dirname "$0")/lib.sh"
OWNER="$(dirname "$STOCKKUN")/tests/test_owner"
[ -x "$OWNER" ] || fail "test_owner not built"


set_clipboard "before the secret"
start_program
wait_until 5 history_has_ink || fail "the clipboard text at start-up was not taken"
rows=$(history_count)

secret=$(mktemp)
printf 'hunter2' > "$secret"
exec 3< <("$OWNER" hint secret "$secret")
owner_pid=$!
pids+=($owner_pid)
read -r -t 5 -u 3 line
[ "$line" = ready ] || fail "test_owner did not take the clipboard"

sleep 2.5  # ticks see the secret
[ "$(history_count)" = "$rows" ] || fail "a secret was recorded"
click_at 2000 3500     # into the edit box
click_at 3260 5280     # Paste
sleep 2.2
[ "$(history_count)" = "$rows" ] || fail "the pasted secret was recorded"
pass "Paste of a secret adds no row"

# What Paste put in the edit box, copied back: the secret itself. The owner
# goes first, so that only the Copy can put the text on the clipboard.
kill "$owner_pid" 2>/dev/null
wait_until 5 clipboard_is "" || fail "the secret owner did not go"
click_at 2000 3500     # into the edit box
xdotool key ctrl+a
sleep 0.3
click_at 1900 5280     # Copy
wait_until 5 clipboard_is "hunter2" || fail "Paste did not put the secret in the edit box: $(xclip -selection clipboard -o 2>/dev/null)"
pass "Paste puts the secret in the edit box"
rm -f "$secret"
