#!/usr/bin/env bash
# Lines of code and of tests: non-blank lines that are not only a comment
# (// or /* */ in C++, # in shell and CMake), in src/ and in tests/.
# Usage: count-lines.sh [GIT-REVISION]   (the work tree when none is given)
set -euo pipefail
cd "$(dirname "$0")/.."
rev="${1:-}"
files() {
  if [ -n "$rev" ]; then git ls-tree -r --name-only "$rev" -- "$1"; else git ls-files -- "$1"; fi
}
show() { if [ -n "$rev" ]; then git show "$rev:$1"; else cat "$1"; fi; }
count() {
  local total=0 f n
  for f in $(files "$1"); do
    case "$f" in
      *.cpp|*.h|*.c) n=$(show "$f" | awk '
          /^[ \t]*$/ {next}
          inblock { if ($0 ~ /\*\//) inblock=0; next }
          /^[ \t]*\/\// {next}
          /^[ \t]*\/\*/ { if ($0 !~ /\*\//) inblock=1; next }
          {c++} END {print c+0}') ;;
      *.sh|*.txt|*.cmake|*.supp) n=$(show "$f" | awk '/^[ \t]*$/ || /^[ \t]*#/ {next} {c++} END {print c+0}') ;;
      *) continue ;;
    esac
    total=$((total + n))
  done
  echo "$total"
}
code=$(count src)
tests=$(count tests)
echo "code (src/): $code  tests (tests/): $tests  tests over code: $(( 100 * tests / code ))%"
