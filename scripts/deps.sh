#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the benchmarks
# need, when they are missing: directly as root, otherwise through sudo.
# A user who cannot use sudo (none installed, or not without a password)
# gets the list of what is missing and the command that installs it.
set -euo pipefail

packages=(
  g++ make cmake pkg-config ccache clang clang-format clang-tidy libclang-rt-14-dev g++-mingw-w64-x86-64-posix wine wine64
  qt6-base-dev qt6-qpa-plugins libxcb1-dev libxcb-xfixes0-dev libxfixes-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-dejavu-core
  xvfb xauth xclip xdotool x11-utils procps trayer openbox dbus-daemon dbus-bin
  desktop-file-utils appstream lintian dpkg-dev file imagemagick
  zlib1g-dev icoutils libxml2-utils python3 unicode-data
  libwayland-dev sway xwayland foot wl-clipboard x11-xserver-utils kwin-wayland qt6-wayland
  libsqlite3-dev sqlite3
)
# The tests stand in a list of their own here.
if [ -n "${STOCK_DEPS_PACKAGES:-}" ]; then read -r -a packages <<<"$STOCK_DEPS_PACKAGES"; fi
if [ "${1:-}" = "--list" ]; then printf '%s\n' "${packages[@]}"; exit 0; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  sudo=(sudo -n)
else
  install="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
  if command -v sudo >/dev/null 2>&1; then
    why="sudo cannot be used here without a password"
    how="sudo sh -c '$install'"
  else
    why="sudo is not installed"
    how="su -c '$install'"
  fi
  {
    echo "Missing Debian packages: ${missing[*]}"
    echo "Installing them needs root, and $why."
    echo "Install them with this command (as a user allowed to), then run make again:"
    echo "  $how"
  } >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
