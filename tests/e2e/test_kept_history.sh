#!/usr/bin/env bash
# The kept history, end to end: turned on, three copies, the program ended
# as at a logout; the next start shows them again in order, each recallable
# exactly, without a second row for the text still on the clipboard. Turned
# off, the file is gone and the next start is empty.
. "$(dirname "$0")/lib.sh"

export XDG_STATE_HOME; XDG_STATE_HOME=$(mktemp -d)
at_exit "rm -rf $XDG_STATE_HOME"
store=$XDG_STATE_HOME/stockkun/history.sqlite3

said=$("$STOCKKUN" --keep-history on) || fail "--keep-history on failed: $said"
[ "$(stat -c %a "$XDG_STATE_HOME/stockkun") $(stat -c %a "$store")" = "700 600" ] ||
  fail "the store is not private: $(stat -c '%a %n' "$XDG_STATE_HOME/stockkun" "$store")"

# Ended as at a logout; the next start counts its ticks afresh.
ends_cleanly() {
  kill -TERM "$last_pid"
  wait "$last_pid" || fail "the program ended with status $?"
  : >"$ticks_file"
}
recalls() {
  click_at 1500 "$1"
  copy_edit_box
  wait_until 30 clipboard_is "$2" || fail "row at $1 recalled as $(xclip -selection clipboard -o | od -An -c | head -3)"
}

texts=("first kept" $'second\r\nkept\ttext' "third kept 😀")
start_program
for i in 0 1 2; do
  set_clipboard "${texts[$i]}"
  wait_until 30 rows_are $((i + 1)) || fail "copy $((i + 1)) gave $(rows) rows"
done
ends_cleanly
pass "three copies recorded with the history kept"

start_program
wait_until 30 rows_are 3 || fail "the next start shows $(rows) rows, not the three kept"
# The third row each time: every text copied back becomes a new top row.
for i in 0 1 2; do
  recalls 750 "${texts[$i]}"
  wait_until 30 rows_are $((4 + i)) || fail "the recalled text copied gave $(rows) rows"
done
pass "the next start shows the three, newest first, each recalled exactly"

"$STOCKKUN" --keep-history off >/dev/null || fail "--keep-history off failed"
wait_until 30 test ! -e "$store" || fail "the store is still there"
ends_cleanly
[ -z "$(ls -A "$XDG_STATE_HOME/stockkun")" ] || fail "left behind: $(ls -A "$XDG_STATE_HOME/stockkun")"
set_clipboard "after off"
start_program
wait_ticks 3
rows_are 1 || fail "with the history off the start shows $(rows) rows"
pass "turned off: the file gone, nothing left, the next start holds only the clipboard's text"
