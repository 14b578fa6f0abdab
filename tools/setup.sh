#!/bin/bash
# Installs the Debian packages Tarvik needs to build, run and be tested on
# Linux, when any is missing. Safe to run again: it installs nothing twice.
set -euo pipefail

PACKAGES=(
  cmake make g++ pkg-config
  qt6-base-dev libgl-dev libxcb1-dev
  googletest libgtest-dev
  xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick
  xdg-utils file desktop-file-utils
  fonts-liberation fonts-dejavu-core
  python3 python3-xlwt python3-xlib metacity
  dbus dbus-x11 at-spi2-core python3-pyatspi
)

missing=()
for package in "${PACKAGES[@]}" "$@"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  sudo=()
  if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
fi
