#!/usr/bin/env bash
# scripts/deps.sh run by a user who lacks packages and cannot use sudo (none
# installed, or one that wants a password): it ends at once with the
# missing packages and the one command that installs them, and never gets
# as far as apt-get. The user is played by an `id` that answers uid 1000;
# with nothing missing, every build runs it.
set -uo pipefail
deps="$(cd "$(dirname "$0")/../.." && pwd)/scripts/deps.sh"
fail() { echo "FAIL: $*"; exit 1; }
pass() { echo "ok: $*"; }

fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
mkdir "$fake/nosudo" "$fake/sudo"
for d in nosudo sudo; do
  printf '#!/bin/sh\necho 1000\n' >"$fake/$d/id"
  printf '#!/bin/sh\ntouch %s/apt-ran\n' "$fake" >"$fake/$d/apt-get"
done
printf '#!/bin/sh\necho "sudo: a password is required" >&2\nexit 1\n' >"$fake/sudo/sudo"
chmod 755 "$fake"/*/*
# deps.sh with the fakes in BIN first on PATH and the package list PACKAGES.
run_deps() { PATH="$1:/usr/bin:/bin" STOCK_DEPS_PACKAGES="$2" timeout 30 "$deps" </dev/null >/dev/null 2>"$fake/stderr"; }

missing=stockkun-test-no-such-package
install="'apt-get update && apt-get install -y --no-install-recommends $missing'"
for way in "nosudo|su -c $install" "sudo|sudo sh -c $install"; do
  bin=${way%%|*}
  if [ "$bin" = nosudo ] && { [ -x /usr/bin/sudo ] || [ -x /bin/sudo ]; }; then
    echo "skip: sudo is installed here, so a PATH without it cannot be made"
    continue
  fi
  run_deps "$fake/$bin" "bash $missing"
  rc=$?
  [ $rc -ne 0 ] && [ $rc -ne 124 ] && [ ! -e "$fake/apt-ran" ] || fail "$bin: status $rc, apt-get ran: $(ls "$fake")"
  grep -qxF "Missing Debian packages: $missing" "$fake/stderr" && grep -qxF "  ${way#*|}" "$fake/stderr" ||
    fail "$bin: $(cat "$fake/stderr")"
  pass "$bin: stops at once, names the package and the command ${way#*|}"
done
