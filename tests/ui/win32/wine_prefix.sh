# Sourced by the Windows tests: a Wine prefix beside the Windows build, made
# once and then reused (its first start is slow), with the layouts' Japanese
# font mapped to IPAPGothic, and the Windows-side helper wine_probe.exe.
# Needs the caller's `fail` (tests/e2e/lib.sh).
# Usage: use_wine_prefix BUILD_DIR
use_wine_prefix() {
  command -v wine >/dev/null || fail "wine is not installed"
  export WINEPREFIX="$1/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [ -e "$WINEPREFIX/.stockkun-ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || fail "the Wine prefix could not be made"
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1 ||
    fail "the font replacement could not be written"
  wineserver -w
  touch "$WINEPREFIX/.stockkun-ready"
}

# Cross-builds tests/ui/win32/wine_probe.c into BUILD_DIR when it is missing
# or older than its source; sets PROBE to its path.
# Usage: build_wine_probe BUILD_DIR
build_wine_probe() {
  local src; src="$(dirname "${BASH_SOURCE[0]}")/wine_probe.c"
  PROBE="$1/wine_probe.exe"
  [ "$PROBE" -nt "$src" ] && return 0
  x86_64-w64-mingw32-gcc-posix -std=c11 -O1 -Wall -Wextra -Werror -municode -static -o "$PROBE" "$src" ||
    fail "wine_probe.exe could not be built"
}

# The Windows name of a Unix path, through the prefix's drive Z: (the root).
win_path() { printf 'Z:%s' "${1//\//\\}"; }

# The set-up of a test that drives the exe STOCKKUN under Wine: the prefix,
# the probe, this prefix's server ended with the test (it was started for
# it), a scratch folder `work` and the tick file by its name on drive Z:.
start_wine_test() {
  use_wine_prefix "$(dirname "$STOCKKUN")"
  build_wine_probe "$(dirname "$STOCKKUN")"
  at_exit "wineserver -k"
  work=$(mktemp -d)
  at_exit "rm -rf $work"
  export STOCKKUN_TRACE_TICKS="$(win_path "$ticks_file")"
}

# Starts the exe and waits for its main window, `win`; its PID is main_pid.
start_wine_program() {
  wine "$STOCKKUN" >/dev/null 2>&1 &
  main_pid=$!
  track_pid $main_pid
  wait_until 60 has_main_window || fail "the main window did not appear"
  win=$(main_window)
}
ended_with_zero() {  # WHAT: the program has ended, with status 0
  wait $main_pid
  local status=$?
  [ $status -eq 0 ] || fail "$1 ended the program with status $status"
}

# A text as UTF-16LE bytes, as the Windows clipboard holds it.
utf16() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE; }

# The history's rows: blue text on lavender, from the list's top at 240
# twips; a row is 13 pixels high in Wine's default font at 96 DPI.
blue_in_row() {  # ROW -> number of blue pixels in it
  "$XPIXELS" "$win" 4 $((18 + 13 * $1)) 460 11 0000ff 80 | cut -d' ' -f1
}
selected_row() {  # ROW: it is the list's current row (Wine's highlight colour)
  [ "$("$XPIXELS" "$win" 4 $((18 + 13 * $1)) 460 11 3096fa 8 | cut -d' ' -f1)" -gt 0 ]
}
rows_at_least() {  # N: row N-1 holds text
  [ "$(blue_in_row $(($1 - 1)))" -gt 0 ] || selected_row $(($1 - 1))
}

# The Windows clipboard through wine_probe, apart from what Wine's X bridge
# makes of it.
windows_clipboard_is() {  # TEXT: the Windows clipboard holds exactly TEXT
  rm -f "$work/got"
  wine "$PROBE" get "$(win_path "$work/got")" >/dev/null 2>&1 &&
    cmp -s "$work/got" <(utf16 "$1")
}
put() {  # TEXT: on the Windows clipboard
  utf16 "$1" >"$work/put"
  wine "$PROBE" put "$(win_path "$work/put")" >/dev/null 2>&1 || fail "wine_probe could not write the clipboard"
}
edit_has_text() { [ "$("$XPIXELS" "$win" 4 $(($(px 2160) + 2)) 200 60 000000 60 | cut -d' ' -f1)" -gt 0 ]; }
