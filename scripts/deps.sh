#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test both programs.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    # French texts in the toolkit's own dialogs.
    qt6-translations-l10n
    libjpeg-dev libftdi1-dev
    libgtest-dev libgmock-dev
    # The fuzz targets: clang 14 and its libFuzzer and sanitizer runtimes
    # (libclang-rt-14-dev is only recommended by clang, not pulled in).
    clang libclang-rt-14-dev
    fonts-liberation
    xvfb xauth poppler-utils
    # At run time: xset switches the screen saver off, xdg-open opens the
    # help file and the about box's web page.
    x11-xserver-utils xdg-utils
    # The USB-level test of the real driver path emulates the interface.
    umockdev libumockdev-dev
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

# As root: the udev rule that lets the logged-in user open the interface.
if [ "$(id -u)" -eq 0 ]; then
    rule=/etc/udev/rules.d/60-kestrova-ftdi.rules
    if ! cmp -s "$(dirname "$0")/udev/60-kestrova-ftdi.rules" "$rule"; then
        install -D -m 644 "$(dirname "$0")/udev/60-kestrova-ftdi.rules" "$rule"
        if command -v udevadm >/dev/null; then
            udevadm control --reload-rules 2>/dev/null || true
            udevadm trigger --attr-match=idVendor=0403 2>/dev/null || true
        fi
    fi
fi
