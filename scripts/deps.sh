#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need (as root), or prints
# the one apt-get line to run when not root. Safe to run again: installed packages are skipped.
set -euo pipefail
packages=(build-essential cmake ccache pkg-config qt6-base-dev qt6-serialport-dev
          qt6-multimedia-dev qt6-svg-dev libqt6multimedia6 libsqlite3-dev sqlite3 xvfb xauth
          clang-format fonts-liberation fonts-noto-core gcovr)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
    echo "Missing packages. Run as root:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
