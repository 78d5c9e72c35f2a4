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
  libsqlite3-dev sqlite3 tcl8.6
)
# The tests stand in a list of their own here.
if [ -n "${STOCK_DEPS_PACKAGES:-}" ]; then read -r -a packages <<<"$STOCK_DEPS_PACKAGES"; fi
if [ "${1:-}" = "--list" ]; then printf '%s\n' "${packages[@]}"; exit 0; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# The Windows program's SQLite is built from Debian's source package
# (scripts/sqlite-amalgamation.sh): the source archive must be listed.
src_list=/etc/apt/sources.list.d/stockkun-sources.sources
has_sources() {
  [ -n "${STOCK_DEPS_PACKAGES:-}" ] ||
    grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/
}
need_sources=0
has_sources || need_sources=1
[ ${#missing[@]} -eq 0 ] && [ $need_sources -eq 0 ] && exit 0

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
    [ $need_sources -eq 1 ] && echo "Missing too: a deb-src entry for Debian's main archive (see $src_list in scripts/deps.sh)"
    echo "Installing them needs root, and $why."
    echo "Install them with this command (as a user allowed to), then run make again:"
    echo "  $how"
  } >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
if [ $need_sources -eq 1 ]; then
  . /etc/os-release
  case "$ID" in
    ubuntu) uri=http://archive.ubuntu.com/ubuntu keyring=/usr/share/keyrings/ubuntu-archive-keyring.gpg ;;
    *) uri=http://deb.debian.org/debian keyring=/usr/share/keyrings/debian-archive-keyring.gpg ;;
  esac
  printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
    "$uri" "$VERSION_CODENAME" "$keyring" | "${sudo[@]}" tee "$src_list" >/dev/null
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
[ ${#missing[@]} -eq 0 ] || "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
