# A headless sway session of the test's own, with XWayland. Sway refuses to
# run as root, so a test run as root runs it as an unprivileged user
# (nobody) through setpriv; the test's own clients connect to it as they are
# (root may open the user's sockets) and are let into its X display.
#   start_sway         sets SWAY_PID and exports WAYLAND_DISPLAY, SWAYSOCK, DISPLAY
#   as_sway_user CMD   runs CMD as the session's user, in its environment
#   focus CRITERIA     gives the keyboard focus to the window that matches
#   stop_sway          ends the session (sway ends XWayland and its programs)
sway_dir=$(mktemp -d)
chmod 755 "$sway_dir"
SWAY_PID=

# The command prefix that runs a program as the session's user, in its
# environment (an array, so that a program started in the background with it
# has the PID that $! gives).
sway_user() {
  sway_user=()
  [ "$(id -u)" -eq 0 ] && sway_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  sway_user+=(env HOME="$sway_dir" XDG_RUNTIME_DIR="$sway_dir/run" PATH=/usr/bin:/bin LANG=C.UTF-8)
  [ -n "${SWAYSOCK:-}" ] && sway_user+=(SWAYSOCK="$SWAYSOCK" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" DISPLAY="${DISPLAY:-}")
  return 0
}
as_sway_user() {
  sway_user
  "${sway_user[@]}" "$@"
}

sway_ready() { ls "$sway_dir"/run/wayland-? "$sway_dir"/run/sway-ipc.* >/dev/null 2>&1; }

start_sway() {
  mkdir -m 700 "$sway_dir/run"
  printf 'xwayland enable\n' >"$sway_dir/config"
  if [ "$(id -u)" -eq 0 ]; then
    chown 65534:65534 "$sway_dir" "$sway_dir/run"
    # Made by root, as an X server run by root expects it.
    [ -d /tmp/.X11-unix ] || mkdir -m 1777 /tmp/.X11-unix
  fi
  unset WAYLAND_DISPLAY SWAYSOCK
  sway_user
  "${sway_user[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$sway_dir/config" >"$sway_dir/sway.log" 2>&1 &
  SWAY_PID=$!
  local i
  for i in $(seq 100); do sway_ready && break; sleep 0.1; done
  sway_ready || { cat "$sway_dir/sway.log"; echo "FAIL: sway did not start"; return 1; }
  export WAYLAND_DISPLAY SWAYSOCK
  WAYLAND_DISPLAY=$(ls "$sway_dir"/run/wayland-?)
  SWAYSOCK=$(ls "$sway_dir"/run/sway-ipc.*)
  # XWayland's display, as sway hands it to the programs it starts.
  as_sway_user swaymsg -q exec "echo \$DISPLAY >$sway_dir/display"
  for i in $(seq 100); do [ -s "$sway_dir/display" ] && break; sleep 0.1; done
  export DISPLAY
  DISPLAY=$(cat "$sway_dir/display")
  [ -n "$DISPLAY" ] || { echo "FAIL: sway gave no X display"; return 1; }
  as_sway_user xhost "+si:localuser:$(id -un)" >/dev/null || { echo "FAIL: XWayland did not start"; return 1; }
}

# Starts a native window (foot running sleep) and gives it the focus.
start_native_window() {
  as_sway_user swaymsg -q exec "foot --app-id=native sleep 100000"
  local i
  for i in $(seq 100); do as_sway_user swaymsg -t get_tree | grep -q '"app_id": "native"' && break; sleep 0.1; done
  focus '[app_id="native"]'
}

# The window that has the focus has an app_id line matching PATTERN.
focused_is() { as_sway_user swaymsg -t get_tree | grep -A40 '"focused": true' | grep -m1 '"app_id"' | grep -q "$1"; }
focus() { as_sway_user swaymsg -q "$1 focus"; }

# Sway's children (XWayland, the programs it started, and theirs) are ended
# first, while sway is there to reap them, then sway.
stop_sway() {
  if [ -n "$SWAY_PID" ]; then
    local p
    for p in $(ps -o pid= --ppid "$SWAY_PID"); do
      ps -o pid= --ppid "$p" | xargs -r kill 2>/dev/null
      kill "$p" 2>/dev/null
    done
    kill "$SWAY_PID" 2>/dev/null
    wait "$SWAY_PID" 2>/dev/null
  fi
  SWAY_PID=
  rm -rf "$sway_dir"
  return 0
}
