#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the demo and the fuzzers need.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6serialport6 qt6-tools-dev qt6-tools-dev-tools
  libgl-dev libxkbcommon-dev
  googletest libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-utils imagemagick
  fonts-dejavu-core
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
