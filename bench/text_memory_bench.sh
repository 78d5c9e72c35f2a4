#!/usr/bin/env bash
# The built program's memory around one 50 MiB text (unless told; ASCII, so
# twice that as UTF-16) put on the clipboard by xclip: the peak while it is
# taken in, what stays once it is recorded, and what stays after
# "Clear   History" and a small copy have let it go. Figures are over the idle program's resident size.
# Usage: text_memory_bench.sh PROGRAM [MIB]
STOCKKUN=${1:?the built program}
size=${2:-50}
. "$(dirname "$0")/../tests/e2e/lib.sh"

kib() { awk -v k="$2" '$1 == k":" {print $2}' "/proc/$1/status"; }
mib() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%+.0f MiB", (a - b) / 1024}'; }
big=$(mktemp)
at_exit "rm -f $big"
head -c $((size << 20)) /dev/zero | tr '\0' 'x' | fold -w 78 >"$big"

start_program
pid=$last_pid
wait_ticks 2  # start-up over
idle=$(kib "$pid" VmRSS)

n=$(history_count)
xclip -quiet -selection clipboard -i <"$big" >/dev/null 2>&1 &
track_pid $!
wait_until 60 history_grew_past "$n" || fail "the text was not recorded"
wait_ticks 2
peak=$(kib "$pid" VmHWM); held=$(kib "$pid" VmRSS)

click_at 1500 100                                    # Clear   History
no_rows() { [ "$(history_count)" -eq 0 ]; }
wait_until 10 no_rows || fail "the history was not cleared"
set_clipboard "small"
wait_until 10 history_grew_past 0 || fail "the small text was not recorded"
wait_ticks 2
after=$(kib "$pid" VmRSS)

echo "$size MiB text: idle $((idle / 1024)) MiB; peak $(mib "$peak" "$idle"), held once recorded $(mib "$held" "$idle"), after Clear History and a small copy $(mib "$after" "$idle")"
