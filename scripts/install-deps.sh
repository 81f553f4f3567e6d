#!/usr/bin/env bash
# Installs every Debian 12 package Zorvexa needs to build, run and test.
# Safe to run again: packages already present are left as they are.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git clang clang-format
  libopencv-dev libopencv-contrib-dev
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins libgl-dev
  libpugixml-dev
  libx11-dev libxext-dev libxtst-dev libxrandr-dev
  libwayland-dev libwayland-bin wayland-protocols libxkbcommon-dev sway foot xwayland
  libv4l-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth openbox x11-utils x11-apps x11-xkb-utils xkb-data x11-xserver-utils xdotool imagemagick xdg-utils
  librsvg2-bin desktop-file-utils appstream dpkg-dev man-db
  ffmpeg fonts-dejavu-core locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if [ ${#missing[@]} -eq 0 ]; then
  echo "All build and test packages are installed."
else
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, for the tests that check numbers are written with a point
# whatever the user's locale (added to the ones already generated).
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  echo "Generating the de_DE.UTF-8 locale for the tests"
  $SUDO sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
