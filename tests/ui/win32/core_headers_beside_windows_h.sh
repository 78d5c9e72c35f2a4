#!/usr/bin/env bash
# Every header of the core compiles in a file that includes <windows.h>
# first, and none of the core's names is one that <windows.h> defines as a
# macro (MessageBox, ERROR_SUCCESS, KEY_READ, min …), which would otherwise
# rename or break it silently on Windows.
# Usage: core_headers_beside_windows_h.sh SOURCE_DIR [COMPILER]
set -uo pipefail
src=${1:?the source tree}/src
cxx=${2:-x86_64-w64-mingw32-g++-posix}
command -v "$cxx" >/dev/null || { echo "FAIL: no $cxx (mingw-w64)"; exit 1; }

headers=$(cd "$src" && ls core/*/*.h)
tu=$(mktemp --suffix=.cpp)
trap 'rm -f "$tu"' EXIT
{
  echo '#include <windows.h>'
  # Every identifier of the core's headers, comments and strings left out.
  for h in $headers; do
    sed -e 's://.*$::' -e 's/"[^"]*"//g' "$src/$h"
  done | grep -oE '\b[A-Za-z_][A-Za-z0-9_]*\b' | sort -u |
    grep -vxE 'include|pragma|once|define|ifdef|ifndef|endif|if|else|elif|defined' |
    while read -r id; do printf '#ifdef %s\n#error "%s is a macro of <windows.h>"\n#endif\n' "$id" "$id"; done
  for h in $headers; do echo "#include \"$h\""; done
} >"$tu"

if ! out=$("$cxx" -std=c++20 -fsyntax-only -Wall -Wextra -I"$src" "$tu" 2>&1); then
  echo "$out" | grep -E 'error' | sort -u
  echo "FAIL: the core's headers do not stand beside <windows.h>"
  exit 1
fi
echo "ok: $(echo "$headers" | wc -w) core headers compile after <windows.h>, and none of their names is one of its macros"
