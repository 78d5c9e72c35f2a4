#!/usr/bin/env bash
# clang-tidy with .clang-tidy over src/ and tools/: the Linux sources with
# BUILD-DIR's compile commands, the Windows ones (src/ui/win32, src/os/windows,
# src/app/main_win32.cpp) with those of the mingw-w64 cross build, which is
# built first when it is missing (make windows), and that build's icon tool.
# Usage: check-tidy.sh [BUILD-DIR [WIN-BUILD-DIR]]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
win_build="${2:-build-win}"
jobs="${JOBS:-2}"

mapfile -t windows_files < <(git ls-files 'src/ui/win32/*.cpp' 'src/os/windows/*.cpp' 'src/app/*_win32.cpp' 'src/os/store/*_win32.cpp')

[ -f "$build/compile_commands.json" ] || cmake -S . -B "$build" >/dev/null
mapfile -t files < <(git ls-files 'src/*.cpp' 'tools/*.cpp' | grep -v -x -F "${windows_files[@]/#/-e}")
# The generated Qt sources (moc) are not ours to check, but they must exist.
cmake --build "$build" -j"$jobs" --target stock_ui_qt_autogen stockkun_icon_export_autogen >/dev/null
run-clang-tidy -p "$build" -quiet -j"$jobs" "${files[@]/#/$PWD/}"

[ -f "$win_build/compile_commands.json" ] || make WIN_BUILD="$win_build" JOBS="$jobs" windows >/dev/null
# clang parses the cross build's commands as mingw-w64 code. It does not find
# the libstdc++ of Debian's mingw g++ (its folder is named like "12-posix"),
# so the C++ folders come from that compiler's own search list; clang keeps
# its own builtin headers in place of gcc's.
compiler=$(sed -n 's/^ *"command": "\([^ ]*g++[^ ]*\) .*/\1/p' "$win_build/compile_commands.json" | head -n1)
builtin=$("$compiler" -print-file-name=include)
extra=(-extra-arg=--target=x86_64-w64-mingw32 -extra-arg=-nostdinc++)
while read -r dir; do
  dir=$(realpath -m "$dir")
  [ "$dir" = "$builtin" ] || [ "$dir" = "$builtin-fixed" ] || extra+=("-extra-arg=-isystem$dir")
done < <(echo | "$compiler" -std=c++20 -E -x c++ - -v 2>&1 |
  sed -n '/^#include <...> search starts here:/,/^End of search list./{//!p}')
run-clang-tidy -p "$win_build" -quiet -j"$jobs" "${extra[@]}" "${windows_files[@]/#/$PWD/}"
# The icon tool of the cross build runs on the build machine: its command
# line stands in tools/CMakeLists.txt, not in any compile commands.
clang-tidy -quiet tools/program_icon_ico.cpp -- -std=c++20 \
  -I"$win_build/layers/stock_main_window" -I"$win_build/layers/stock_layout"
