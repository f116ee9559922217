#!/usr/bin/env bash
# Installs every Debian 12 package the gateway needs to build, run and test.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-multimedia-dev libqt6sql6-sqlite
    qt6-translations-l10n fonts-wqy-microhei
    libfreexl-dev libzip-dev libpugixml-dev
    sqlite3 socat python3 python3-openpyxl python3-xlwt
    xvfb xauth
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
