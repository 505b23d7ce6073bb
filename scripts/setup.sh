#!/usr/bin/env bash
# Installs the Debian packages the console and its tests need, only those missing.
set -eu
packages=(
  g++ cmake make pkgconf          # build
  qt6-base-dev qt6-serialport-dev libgl-dev   # Qt 6 Widgets, SerialPort, Test
  fonts-liberation                # the compact face the windows are laid out for
  xvfb xauth imagemagick          # screenshots of the windows
  tshark python3                  # an exported record read back by Wireshark and by Python's csv
)
packages+=("$@")                  # what one target needs besides (make fuzz, make package, check-package.sh)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
