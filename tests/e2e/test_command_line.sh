#!/usr/bin/env bash
# The options of the built program: answered without a display, and never
# counted as the running instance nor disturbing it; one instance per user
# and display, and a killed one never blocks the next start.
. "$(dirname "$0")/lib.sh"

scratch=$(mktemp -d)
trap 'cleanup; rm -rf "$scratch"' EXIT
runtime="$scratch/runtime"
mkdir -m 700 "$runtime"

# No display at all, a private runtime folder: nothing may be created there.
bare() { env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$runtime" "$STOCKKUN" "$@"; }
out=$(bare --help 2>"$scratch/err"); status=$?
[ $status -eq 0 ] && [[ "$out" == "Usage: stockkun "* ]] && [ ! -s "$scratch/err" ] ||
  fail "--help without a display: status $status, out '$out', err '$(cat "$scratch/err")'"
out=$(bare --version 2>"$scratch/err"); status=$?
[ $status -eq 0 ] && [[ "$out" =~ ^stockkun\ .*\ [0-9]+\.[0-9]+$ ]] && [ ! -s "$scratch/err" ] ||
  fail "--version without a display: status $status, out '$out'"
for wrong in --bogus "--autostart maybe" stray; do
  # shellcheck disable=SC2086
  out=$(bare $wrong 2>"$scratch/err"); status=$?
  [ $status -eq 2 ] && [ -z "$out" ] && [[ "$(head -n 1 "$scratch/err")" == "stockkun: "* ]] &&
    [[ "$(sed -n 2p "$scratch/err")" == "Usage: stockkun "* ]] || fail "'$wrong': status $status, err '$(cat "$scratch/err")'"
done
[ -z "$(ls -A "$runtime")" ] || fail "the options left files in the runtime folder: $(ls -A "$runtime")"
pass "--help and --version exit 0, mistakes exit 2 with a line and the usage on stderr, all without a display or lock"

start_program
first=$last_pid
lock=$(ls "$XDG_RUNTIME_DIR"/stockkun-*.lock 2>/dev/null | head -n 1)
[ -n "$lock" ] || fail "the running instance has no lock file in $XDG_RUNTIME_DIR"
lock_before=$(stat -c '%i %Y' "$lock" 2>/dev/null)

export XDG_CONFIG_HOME="$scratch/config"
entry="$XDG_CONFIG_HOME/autostart/stockkun.desktop"
out=$("$STOCKKUN" --autostart on) || fail "--autostart on failed"
[[ "$out" == "Autostart on: wrote $entry"* ]] || fail "--autostart on said: $out"
[ -f "$entry" ] || fail "no entry at $entry"
valid=$(desktop-file-validate "$entry" 2>&1)
[ -z "$valid" ] || fail "desktop-file-validate: $valid"
grep -qx "Exec=$(readlink -f "$STOCKKUN")" "$entry" || fail "the entry does not start this program: $(grep Exec "$entry")"
pass "--autostart on wrote a valid entry that starts $(readlink -f "$STOCKKUN")"

"$STOCKKUN" --version >/dev/null || fail "--version beside a running instance failed"
out=$("$STOCKKUN" --autostart off) || fail "--autostart off failed"
[[ "$out" == "Autostart off: removed $entry"* ]] || fail "--autostart off said: $out"
[ ! -e "$entry" ] || fail "the entry is still there"
pass "--autostart off removed it"

# Plain second starts, whichever way they name the display, end at once with
# status 0: the instance, its window and its lock are untouched.
for display in "$DISPLAY" "$DISPLAY.0" "unix$DISPLAY"; do
  DISPLAY=$display timeout 10 "$STOCKKUN" >/dev/null 2>&1
  rc=$?
  [ $rc -eq 0 ] || fail "second start on $display exited $rc"
done
kill -0 "$first" 2>/dev/null || fail "the running instance ended"
[ "$(main_windows | wc -l)" -eq 1 ] || fail "there is not exactly one main window"
[ "$(stat -c '%i %Y' "$lock" 2>/dev/null)" = "$lock_before" ] || fail "the lock file was touched"
pass "second starts on $DISPLAY, $DISPLAY.0 and unix$DISPLAY end with 0; the instance, its window and its lock are untouched"

stop_pid "$first"
wait_until 5 no_main_window || fail "the killed instance's window stayed"
start_program
kill -0 "$last_pid" 2>/dev/null || fail "start after SIGKILL did not stay up"
pass "a killed instance does not block the next start"
