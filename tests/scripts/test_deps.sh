#!/usr/bin/env bash
# scripts/deps.sh run by a user who lacks packages and cannot use sudo (none
# installed, or one that wants a password): it ends at once with the
# missing packages and the one command that installs them, and never gets
# as far as apt-get. Run as root, it plays that user with another uid.
set -uo pipefail
deps="$(cd "$(dirname "$0")/../.." && pwd)/scripts/deps.sh"
fail() { echo "FAIL: $*"; exit 1; }
pass() { echo "ok: $*"; }

fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
chmod 755 "$fake"
mkdir -m 1777 "$fake/out"
mkdir -m 755 "$fake/nosudo" "$fake/sudo"
for d in nosudo sudo; do
  printf '#!/bin/sh\ntouch %s/out/apt-ran\n' "$fake" >"$fake/$d/apt-get"
  chmod 755 "$fake/$d/apt-get"
done
printf '#!/bin/sh\necho "sudo: a password is required" >&2\nexit 1\n' >"$fake/sudo/sudo"
chmod 755 "$fake/sudo/sudo"

as_user=()
if [ "$(id -u)" -eq 0 ]; then
  uid=
  for u in $(seq $((62000 + $$ % 1000)) 63999); do
    getent passwd "$u" >/dev/null || { uid=$u; break; }
  done
  [ -n "$uid" ] || fail "no free uid"
  as_user=(setpriv --reuid="$uid" --regid="$uid" --clear-groups)
fi

missing=stockkun-test-no-such-package
# deps.sh with BIN first on PATH and a package list of one installed and one
# missing package; its status, its output in $fake/out.
run_deps() {
  rm -f "$fake/out/apt-ran"
  env PATH="$1:/usr/bin:/bin" STOCK_DEPS_PACKAGES="bash $missing" HOME="$fake/out" \
    timeout 30 "${as_user[@]}" "$deps" </dev/null >"$fake/out/stdout" 2>"$fake/out/stderr"
}
check_message() {  # RC COMMAND-START
  [ "$1" -ne 0 ] || fail "deps.sh reported success"
  [ "$1" -ne 124 ] || fail "deps.sh did not stop at once"
  [ ! -e "$fake/out/apt-ran" ] || fail "deps.sh ran apt-get"
  grep -qxF "Missing Debian packages: $missing" "$fake/out/stderr" || fail "no list of the missing package: $(cat "$fake/out/stderr")"
  grep -qxF "  $2'apt-get update && apt-get install -y --no-install-recommends $missing'" "$fake/out/stderr" ||
    fail "no command that installs it: $(cat "$fake/out/stderr")"
}

if [ -x /usr/bin/sudo ] || [ -x /bin/sudo ]; then
  echo "skip: sudo is installed here, so a PATH without it cannot be made"
else
  run_deps "$fake/nosudo"
  check_message $? "su -c "
  pass "without sudo: stops, names the package and the su command"
fi

run_deps "$fake/sudo"
check_message $? "sudo sh -c "
pass "with a sudo that wants a password: stops, names the package and the sudo command"

env PATH="$fake/nosudo:/usr/bin:/bin" STOCK_DEPS_PACKAGES="bash" timeout 30 "${as_user[@]}" "$deps" </dev/null >/dev/null 2>&1 ||
  fail "with nothing missing deps.sh failed"
pass "with nothing missing it ends quietly with success"
