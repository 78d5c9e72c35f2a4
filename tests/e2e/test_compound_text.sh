#!/usr/bin/env bash
# A clipboard owner that offers its text only as COMPOUND_TEXT (older X
# programs): the text is recorded, and recalled and copied back exactly.
. "$(dirname "$0")/lib.sh"
OWNER="$(dirname "$STOCKKUN")/tests/test_owner"
[ -x "$OWNER" ] || fail "test_owner not built"


# "すとっくん ｱ é" as a Japanese EUC locale's Xlib writes it.
ctext=$(mktemp)
printf '\033$)B\244\271\244\310\244\303\244\257\244\363 \033)I\261 \033-A\351' > "$ctext"
exec 3< <("$OWNER" serve COMPOUND_TEXT COMPOUND_TEXT "$ctext")
pids+=($!)
read -r -t 5 -u 3 line
[ "$line" = ready ] || fail "test_owner did not take the clipboard"

start_program
wait_until 5 history_has_ink || fail "the COMPOUND_TEXT text was not recorded"
pass "a text offered only as COMPOUND_TEXT is recorded"

click_at 1500 330      # row 0
click_at 2000 3500     # into the edit box
xdotool key ctrl+a
sleep 0.3
click_at 1900 5280     # Copy
wait_until 5 clipboard_is "すとっくん ｱ é" || fail "the recorded text is not the owner's text: $(xclip -selection clipboard -o 2>/dev/null | od -An -c | head -3)"
pass "recalled and copied back, it is the owner's text exactly"
rm -f "$ctext"
