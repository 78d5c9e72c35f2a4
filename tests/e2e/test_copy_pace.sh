#!/usr/bin/env bash
# The pace of the history: a copy made just after a tick is in the history by
# the tick that follows, and a clipboard that changes twenty times a second
# still gives a row at every tick. The program's tick trace says after each
# tick how many rows the history holds ("tick ROWS").
. "$(dirname "$0")/lib.sh"

rows_at() { sed -n "${1}p" "$ticks_file" | cut -d' ' -f2; }
last_rows() { rows_at "$(tick_count)"; }

start_program
wait_ticks 1

# A copy right after a tick, while the next one is still ahead: that next
# tick takes it. (Should starting xclip take so long that the next tick came
# first, the round is tried again.)
fresh=0
for round in 1 2 3 4 5; do
  wait_ticks 1
  at=$(tick_count)
  before=$(rows_at "$at")
  set_clipboard "copied just after tick $at, round $round"
  [ "$(tick_count)" -eq "$at" ] || continue
  wait_ticks 1
  [ "$(rows_at $((at + 1)))" -eq $((before + 1)) ] ||
    fail "a copy made after tick $at was not in the history at the next tick: $(tail -n 3 "$ticks_file" | tr '\n' ' ')"
  fresh=$((fresh + 1))
done
[ "$fresh" -ge 3 ] || fail "only $fresh copies were made between two ticks"
pass "each of $fresh copies made just after a tick was in the history at the next tick"

# Twenty different copies a second for seven seconds, each xclip ending when
# the next one takes over; the ticks from the first second on are counted.
filler=$(head -c 1000 /dev/zero | tr '\0' x)
for i in $(seq 1 140); do
  printf 'burst copy %03d\r\n%s' "$i" "$filler" | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
  track_pid $!
  [ "$i" -eq 20 ] && from=$(tick_count)
  sleep 0.05
done
to=$(tick_count)
[ $((to - from)) -ge 5 ] || fail "the burst lasted only $((to - from)) ticks"
grew=$(($(rows_at "$to") - $(rows_at "$from")))
[ "$grew" -ge $((to - from)) ] ||
  fail "a burst of copies over $((to - from)) ticks gave $grew rows: $(sed -n "${from},${to}p" "$ticks_file" | tr '\n' ' ')"
pass "a burst of copies over $((to - from)) ticks gave $grew rows"
