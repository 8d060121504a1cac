#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test both programs.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    libjpeg-dev libftdi1-dev
    libgtest-dev libgmock-dev
    fonts-liberation
    xvfb xauth poppler-utils
    # At run time: xset switches the screen saver off, xdg-open opens the
    # help file and the about box's web page.
    x11-xserver-utils xdg-utils
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
