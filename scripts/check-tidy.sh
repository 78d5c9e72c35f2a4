#!/usr/bin/env bash
# clang-tidy over src/ with .clang-tidy, using the build's compile commands.
# The Windows front end is checked in its own cross build, not here.
# Usage: check-tidy.sh [BUILD-DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
[ -f "$build/compile_commands.json" ] || cmake -S . -B "$build" >/dev/null
mapfile -t files < <(git ls-files 'src/*.cpp' | grep -v -e '^src/ui/win32/')
# The generated Qt sources (moc) are not ours to check.
cmake --build "$build" -j"${JOBS:-2}" --target stock_qt_autogen stockkun_autogen >/dev/null
run-clang-tidy -p "$build" -quiet -j"${JOBS:-2}" "${files[@]/#/$PWD/}"
