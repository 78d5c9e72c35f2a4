#!/usr/bin/env bash
# The Windows program under Wine never records a text whose owner asks
# clipboard monitors to leave it alone (ExcludeClipboardContentFromMonitor-
# Processing, or CanIncludeInClipboardHistory = 0), and never even reads it;
# the plain texts before and after it are recorded as usual.
# Usage: test_wine_secret.sh STOCKKUN_EXE SECRET_OWNER_EXE XPIXELS
set -uo pipefail
export STOCKKUN=${1:?stockkun.exe} XPIXELS=${3:?xpixels}
OWNER=${2:?secret_owner.exe}
PROGRAM_CLASS='^stockkun\.exe$'
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/wine_prefix.sh"
use_wine_prefix "$(dirname "$STOCKKUN")"
at_exit "wineserver -k"
# The program's tick file, by its name on Wine's drive for the root.
export STOCKKUN_TRACE_TICKS="Z:${ticks_file//\//\\}"

wine "$STOCKKUN" >/dev/null 2>&1 &
track_pid $!
wait_until 60 has_main_window || fail "the main window did not appear"
win=$(main_window)
# The history's rows: blue text on lavender, about 16 pixels high at 96 DPI.
has_row() { [ "$("$XPIXELS" "$win" 4 $((17 + 16 * $1)) 460 13 0000ff 80 | cut -d' ' -f1)" -gt 0 ]; }
wait_ticks 1

set_clipboard "plain before $$"
wait_until 30 has_row 0 || fail "a plain text did not reach the history"

for mark in exclude nohistory; do
  said=$(mktemp)
  wine "$OWNER" "$mark" "secret $mark $$" >"$said" 2>&1 &
  track_pid $!
  wait_until 30 grep -q "^owner" "$said" || fail "the $mark owner did not take the clipboard: $(cat "$said")"
  wait_ticks 3
  has_row 1 && fail "a text marked $mark was recorded"
  grep -q "text asked" "$said" && fail "the text of a secret marked $mark was read"
  rm -f "$said"
  pass "a text marked $mark is neither recorded nor read"
done

set_clipboard "plain after $$"
wait_until 30 has_row 1 || fail "the plain text after the secrets did not reach the history"
has_row 2 && fail "more rows than the two plain texts"
pass "the plain texts around the secrets are recorded, once each"
