#!/usr/bin/env bash
# Installs the Debian packages a command needs. With no argument: what building and running the
# programs need. Each argument adds a group:
#   test     the test suite (GoogleTest, Xvfb and X tools for the window check, ImageMagick)
#   package  building the Debian package (dpkg-shlibdeps finds its dependencies)
#   fuzz     the libFuzzer targets (clang and its sanitizer runtimes)
# Safe to run again: nothing happens when every package is there. Only the package install
# runs as root (through sudo when the script is not root already).
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6serialport6
  libgl-dev libxkbcommon-dev
  fonts-dejavu-core
)
for group in "$@"; do
  case $group in
    test) packages+=(googletest libgtest-dev libgmock-dev xvfb xauth x11-utils imagemagick desktop-file-utils) ;;
    package) packages+=(dpkg-dev file) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    *) echo "install-deps: unknown group '$group' (test, package, fuzz)" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
