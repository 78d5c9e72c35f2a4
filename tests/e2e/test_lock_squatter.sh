#!/usr/bin/env bash
# Another local user who squats the lock names in /tmp (mode 0666 files and
# folders, a lock held on them) neither stops the program from starting nor
# breaks the one-instance rule. Needs root, to run the squatter under
# another uid.
. "$(dirname "$0")/lib.sh"

if [ "$(id -u)" -ne 0 ]; then
  echo "skip: running a process under another uid needs root"
  exit 0
fi
command -v setpriv >/dev/null || fail "setpriv (util-linux) is missing"

# A uid that no account has: whatever it leaves behind is plainly not ours.
squat_uid=
for u in $(seq $((62000 + $$ % 1000)) 63999); do
  getent passwd "$u" >/dev/null || { squat_uid=$u; break; }
done
[ -n "$squat_uid" ] || fail "no free uid for the squatter"

# Without a runtime folder of its own the program locks under /tmp.
unset XDG_RUNTIME_DIR
uid=$(id -u)
key=${DISPLAY#:}; key=${key%%.*}
squatted=(/tmp/stockkun-$uid-$key.lock /tmp/stockkun-$uid)
for p in "${squatted[@]}"; do
  [ -e "$p" ] && fail "$p exists already; this test squats it"
done
# The program then makes a private folder under the next free name: the
# ones this test caused are removed with the squat.
before=$(ls -d /tmp/stockkun-"$uid".* 2>/dev/null)
remove_squat() {
  rm -rf "${squatted[@]}"
  local d
  for d in /tmp/stockkun-"$uid".*; do
    [ -d "$d" ] && ! grep -qxF "$d" <<<"$before" && rm -rf "$d"
  done
  return 0
}
at_exit remove_squat

# The squatter: creates the lock file and the lock folder (with a lock file
# inside), open to everybody, holds a lock on both and sleeps.
exec 4< <(setpriv --reuid="$squat_uid" --regid="$squat_uid" --clear-groups bash -c '
  umask 0
  : > "$1" && exec 7<>"$1" && flock -n 7 || exit 1
  mkdir -m 0777 "$2" && : > "$2/$3.lock" && exec 8<>"$2/$3.lock" && flock -n 8 || exit 1
  echo ready
  exec sleep 600' squatter "${squatted[0]}" "${squatted[1]}" "$key")
track_pid $!
read -r -t 10 -u 4 line
[ "${line:-}" = ready ] || fail "the squatter did not take the lock names"
[ "$(stat -c %u "${squatted[0]}")" = "$squat_uid" ] || fail "the squatted file is not the squatter's"

start_program
first=$last_pid
pass "the program starts while another user holds its lock names in /tmp"

timeout 10 "$STOCKKUN" >/dev/null 2>&1
rc=$?
[ $rc -eq 0 ] || fail "second start exited $rc"
[ "$(main_windows | wc -l)" -eq 1 ] || fail "the second start added a window"
kill -0 "$first" 2>/dev/null || fail "the first instance is gone"
pass "and a second start by the same user still ends at once"

stop_pid "$first"
start_program
kill -0 "$last_pid" 2>/dev/null || fail "start after the first instance was killed did not stay up"
pass "a killed instance does not block the next start"
