#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the benchmarks
# need, when they are missing: directly as root, otherwise through sudo.
set -euo pipefail

packages=(
  g++ make cmake pkg-config ccache
  qt6-base-dev qt6-qpa-plugins libxcb1-dev libxcb-xfixes0-dev libxfixes-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-dejavu-core
  xvfb xauth xclip xdotool x11-utils procps trayer openbox dbus-daemon dbus-bin
  desktop-file-utils appstream lintian dpkg-dev file imagemagick
)
if [ "${1:-}" = "--list" ]; then printf '%s\n' "${packages[@]}"; exit 0; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
