#!/usr/bin/env bash
# Checks that the C++ sources follow .clang-format; with --fix, reformats them.
# The generated character set tables are left as the generator writes them.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'tools/*.cpp' |
  grep -v -e '^src/os/x11/charset_tables\.cpp$')
if [ "${1:-}" = --fix ]; then
  clang-format -i "${files[@]}"
else
  clang-format --dry-run -Werror "${files[@]}"
fi
