#!/usr/bin/env bash
# Makes SQLite's amalgamation (sqlite3.c and sqlite3.h) in OUT from Debian's
# own source package of sqlite3, the one Debian's libsqlite3 is built from:
# the Windows program links it statically. Needs a deb-src entry and tclsh,
# both installed by scripts/deps.sh. Does nothing when OUT holds them.
# Usage: sqlite-amalgamation.sh OUT
set -euo pipefail
out=${1:?the folder for sqlite3.c and sqlite3.h}
[ -s "$out/sqlite3.c" ] && [ -s "$out/sqlite3.h" ] && exit 0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get source -qq sqlite3 >/dev/null 2>&1) ||
  { echo "apt-get source sqlite3 failed: run scripts/deps.sh (it adds Debian's source archive)" >&2; exit 1; }
src=$(find "$work" -maxdepth 1 -type d -name 'sqlite3-*' | head -n 1)
mkdir "$work/build"
(cd "$work/build" && "$src/configure" --disable-tcl -q >/dev/null && make -s sqlite3.c >/dev/null)
mkdir -p "$out"
cp "$work/build/sqlite3.c" "$work/build/sqlite3.h" "$out/"
