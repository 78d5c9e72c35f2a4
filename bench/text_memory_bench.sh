#!/usr/bin/env bash
# The built program's memory around one 50 MiB text (ASCII, so 100 MiB as
# UTF-16) put on the clipboard by xclip: the peak while it is taken in, what
# stays once it is recorded, and what stays after "Clear   History" and a
# small copy have let it go. Figures are over the idle program's resident size.
# Usage: text_memory_bench.sh PROGRAM
STOCKKUN=${1:?the built program}
. "$(dirname "$0")/../tests/e2e/lib.sh"

kib() { awk -v k="$2" '$1 == k":" {print $2}' "/proc/$1/status"; }
mib() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%+.0f MiB", (a - b) / 1024}'; }
big=$(mktemp)
at_exit "rm -f $big"
head -c $((50 << 20)) /dev/zero | tr '\0' 'x' | fold -w 78 >"$big"

start_program
pid=$last_pid
sleep 1.5
idle=$(kib "$pid" VmRSS)

xclip -quiet -selection clipboard -i <"$big" >/dev/null 2>&1 &
track_pid $!
wait_until 60 history_has_ink || fail "the text was not recorded"
sleep 2
peak=$(kib "$pid" VmHWM); held=$(kib "$pid" VmRSS)

click_at 1500 100                                    # Clear   History
set_clipboard "small"
wait_until 10 history_has_ink || fail "the small text was not recorded"
sleep 2
after=$(kib "$pid" VmRSS)

echo "50 MiB text: idle $((idle / 1024)) MiB; peak $(mib "$peak" "$idle"), held once recorded $(mib "$held" "$idle"), after Clear History and a small copy $(mib "$after" "$idle")"
