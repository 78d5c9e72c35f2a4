#!/usr/bin/env bash
# Side by side, in one run on a private Xvfb: the Linux program and the
# Windows one under Wine. Prints a table of
# - start: from launching the program to its main window being shown
#   (polled with xdotool every 10 ms); the median of STARTS starts. For Wine
#   twice: while another Windows program keeps Wine's wineserver and
#   services running, and with none running, so that each start boots them;
#   the figures below are of that program's last start in the second way,
#   a Wine that runs nothing else;
# - memory after start (3 s after the window shows): the program's RSS and
#   PSS from /proc. For Wine that is the stockkun.exe process: the exe, the
#   Wine loader, ntdll, the Windows DLLs it loaded (user32, gdi32, msftedit,
#   comctl32, ...) and the Unix libraries under them (X11, fontconfig,
#   FreeType). The Wine processes it needs besides (wineserver,
#   explorer.exe, services.exe, ...) are summed in "Wine, all processes",
#   by PSS, so pages they share are counted once;
# - idle CPU: user + system time (utime + stime of /proc/PID/stat) over
#   IDLE_SECONDS while a CLIP_MIB MiB text sits on the X clipboard, held by
#   xclip, after the program has had SETTLE_SECONDS to take it; the RSS with
#   that text taken;
# - the size of each executable.
# Usage: bench-windows.sh [BUILD [WIN_BUILD]]   (make bench-windows)
# Tunable: STARTS=5 IDLE_SECONDS=60 CLIP_MIB=10 SETTLE_SECONDS=8
set -uo pipefail
cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build}")
win_build=$(realpath -m "${2:-build-win}")
# On a headless X server of its own, also when called with a DISPLAY.
if [ -z "${STOCK_BENCH_OWN_X:-}" ]; then
  STOCK_BENCH_OWN_X=1 exec scripts/with-xvfb.sh "$0" "$@"
fi

STARTS=${STARTS:-5}
IDLE_SECONDS=${IDLE_SECONDS:-60}
CLIP_MIB=${CLIP_MIB:-10}
SETTLE_SECONDS=${SETTLE_SECONDS:-8}
linux=$build/stockkun
exe=$win_build/stockkun.exe
die() { echo "bench-windows: $*" >&2; exit 1; }
[ -x "$linux" ] || die "no $linux (make build)"
[ -f "$exe" ] || die "no $exe (make windows)"
for tool in xdotool xclip wine wineserver; do command -v "$tool" >/dev/null || die "$tool is not installed"; done
xdotool() { LC_ALL=C.UTF-8 command xdotool "$@"; }
title=' すとっくん  [クリップボードテキスト収集・編集・再利用ツール]'
clk=$(getconf CLK_TCK)

# Processes this script started, stopped by PID at the end.
pids=()
wine_prefix=
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  [ -n "$wine_prefix" ] && WINEPREFIX=$wine_prefix wineserver -k 2>/dev/null
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  rm -f "${text:-}"
}
trap cleanup EXIT

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# The main window of the program with window class CLASS, once shown.
shown() {
  local w
  for w in $(xdotool search --onlyvisible --class "$1" 2>/dev/null); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$title" ] && return 0
  done
  return 1
}
# Starts COMMAND...; sets started_pid and start_ms (to the window shown).
start_timed() {
  local class=$1; shift
  local t0; t0=$(now_ms)
  "$@" >/dev/null 2>&1 &
  started_pid=$!
  pids+=("$started_pid")
  local end=$((SECONDS + 120))
  until shown "$class"; do
    kill -0 "$started_pid" 2>/dev/null || die "$* ended before its window showed"
    [ $SECONDS -lt $end ] || die "$* showed no window in 120 s"
    sleep 0.01
  done
  start_ms=$(($(now_ms) - t0))
}
# Ends the program PID (CLASS) as a user does, with its Exit button (at the
# top right, 6700 and 130 twips at 96 DPI), so that it takes its tray icon
# and lock along; killed if that does not end it.
stop() {
  local w end=$((SECONDS + 20))
  for w in $(xdotool search --onlyvisible --class "$2" 2>/dev/null); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$title" ] && xdotool mousemove --window "$w" 447 9 click 1
  done
  while kill -0 "$1" 2>/dev/null && [ $SECONDS -lt $end ]; do sleep 0.02; done
  kill "$1" 2>/dev/null
  wait "$1" 2>/dev/null
  while shown "$2"; do sleep 0.05; done
}
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
kib() { awk -v k="$2:" '$1 == k {print $2}' "/proc/$1/status"; }
pss_kib() { awk '/^Pss:/ {print $2}' "/proc/$1/smaps_rollup" 2>/dev/null || echo 0; }
cpu_ticks() { awk '{sub(/.*\) /, ""); print $12 + $13}' "/proc/$1/stat"; }  # utime + stime
# Every process of the Wine prefix in use: its environment names it.
prefix_pids() {
  local p
  for p in /proc/[0-9]*; do
    tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qxF "WINEPREFIX=$wine_prefix" && echo "${p#/proc/}"
  done
}
sum_over() {  # FUNCTION PID... -> the sum of FUNCTION's figure for each
  local f=$1 total=0 p v; shift
  for p in "$@"; do v=$($f "$p" 2>/dev/null) && total=$((total + ${v:-0})); done
  echo $total
}
mib() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }
cpu_text() {  # TICKS -> "ms (percent)"
  awk -v t="$1" -v hz="$clk" -v s="$IDLE_SECONDS" 'BEGIN {printf "%d ms (%.2f %%)", t * 1000 / hz, t * 100 / hz / s}'
}

# The clipboard text: CLIP_MIB MiB of ASCII lines.
text=$(mktemp)
yes 'clipboard text for the idle benchmark, one line of many ...........' | head -c $((CLIP_MIB * 1024 * 1024)) >"$text"
# xclip stays in the foreground, so its PID is known; it says when it owns
# the clipboard.
put_clipboard() {
  local said; said=$(mktemp)
  xclip -quiet -selection clipboard -i "$text" >/dev/null 2>"$said" &
  clip_pid=$!
  pids+=("$clip_pid")
  local end=$((SECONDS + 30))
  until grep -q 'Waiting for selection' "$said"; do
    [ $SECONDS -lt $end ] || die "xclip did not take the clipboard"
    sleep 0.05
  done
  rm -f "$said"
}
drop_clipboard() { kill "$clip_pid" 2>/dev/null; wait "$clip_pid" 2>/dev/null; }

# Starts the program STARTS times (CLASS, BEFORE, command...), running
# BEFORE ahead of each start; r_start is the median, the last start stays.
measure_starts() {
  local class=$1 before=$2; shift 2
  local times=() i
  for ((i = 0; i < STARTS; i++)); do
    $before
    start_timed "$class" "$@"
    times+=("$start_ms")
    if ((i < STARTS - 1)); then stop "$started_pid" "$class"; fi
  done
  echo "  starts: ${times[*]} ms" >&2
  r_start=$(printf '%s\n' "${times[@]}" | median)
}

# Memory and idle CPU of the program started last (CLASS), which then
# ends. Sets the r_* figures; r_others_* are those of the prefix's other
# Wine processes.
measure_running() {
  local class=$1 pid=$started_pid
  sleep 3
  r_rss=$(kib "$pid" VmRSS) r_pss=$(pss_kib "$pid")
  put_clipboard
  sleep "$SETTLE_SECONDS"
  local others=() before after others_before others_after
  [ -n "$wine_prefix" ] && mapfile -t others < <(prefix_pids | grep -vx "$pid")
  before=$(cpu_ticks "$pid") others_before=$(sum_over cpu_ticks "${others[@]}")
  sleep "$IDLE_SECONDS"
  after=$(cpu_ticks "$pid") others_after=$(sum_over cpu_ticks "${others[@]}")
  r_cpu=$((after - before)) r_others_cpu=$((others_after - others_before))
  r_rss_text=$(kib "$pid" VmRSS)
  r_others_pss=$(sum_over pss_kib "${others[@]}")
  drop_clipboard
  stop "$pid" "$class"
}

echo "Measuring $linux ..." >&2
measure_starts '^stockkun$' true "$linux"
measure_running '^stockkun$'
l_start=$r_start l_rss=$r_rss l_pss=$r_pss l_cpu=$r_cpu l_rss_text=$r_rss_text

echo "Measuring $exe under $(wine --version 2>/dev/null) ..." >&2
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
fail() { die "$*"; }
source tests/ui/win32/wine_prefix.sh
use_wine_prefix "$win_build"
wine_prefix=$WINEPREFIX
WINEPREFIX=$wine_prefix wineserver -k 2>/dev/null
wine_down() { WINEPREFIX=$wine_prefix wineserver -w; }
# Warm: another Windows program (Wine's notepad) keeps wineserver and Wine's
# services (explorer.exe, services.exe, ...) running.
wine_down
wine notepad.exe >/dev/null 2>&1 &
holder=$!
pids+=("$holder")
end=$((SECONDS + 120))
until [ -n "$(xdotool search --onlyvisible --class '^notepad\.exe$' 2>/dev/null)" ]; do
  [ $SECONDS -lt $end ] || die "Wine's notepad showed no window"
  sleep 0.05
done
measure_starts '^stockkun\.exe$' true wine "$exe"
w_start=$r_start
stop "$started_pid" '^stockkun\.exe$'
kill "$holder" 2>/dev/null
wait "$holder" 2>/dev/null
# Cold: no Wine process of the prefix runs, each start boots them. The last
# instance, in a Wine that has run nothing else, is measured further.
measure_starts '^stockkun\.exe$' wine_down wine "$exe"
w_cold=$r_start
measure_running '^stockkun\.exe$'
w_rss=$r_rss w_pss=$r_pss w_cpu=$r_cpu w_rss_text=$r_rss_text
w_all_cpu=$((r_cpu + r_others_cpu)) w_all_pss=$((r_pss + r_others_pss))

size_of() { stat -c %s "$1"; }
stripped=$(mktemp)
strip -o "$stripped" "$linux" 2>/dev/null && l_stripped=$(size_of "$stripped") || l_stripped=?
rm -f "$stripped"

printf '\n%-44s %22s %22s\n' "" "Linux (Qt, X11)" "Windows exe (Wine)"
row() { printf '%-44s %22s %22s\n' "$@"; }
row "start to window shown, median of $STARTS" "$l_start ms" "$w_start ms"
row "  Wine's services not running yet" "-" "$w_cold ms"
row "RSS after start" "$(mib "$l_rss") MiB" "$(mib "$w_rss") MiB"
row "PSS after start" "$(mib "$l_pss") MiB" "$(mib "$w_pss") MiB"
row "  Wine, all processes (PSS)" "-" "$(mib "$w_all_pss") MiB"
row "RSS with the ${CLIP_MIB} MiB text taken" "$(mib "$l_rss_text") MiB" "$(mib "$w_rss_text") MiB"
row "CPU idle ${IDLE_SECONDS} s, ${CLIP_MIB} MiB on the clipboard" "$(cpu_text "$l_cpu")" "$(cpu_text "$w_cpu")"
row "  Wine, all processes" "-" "$(cpu_text "$w_all_cpu")"
row "executable size" "$(size_of "$linux") B" "$(size_of "$exe") B"
row "  stripped" "$l_stripped B" "(stripped)"
