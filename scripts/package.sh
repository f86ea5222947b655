#!/usr/bin/env bash
# Builds the two Debian packages with CPack, from the build folder the tests use (an existing
# build is only brought up to date, not built again):
#   build/voltrane-log_<version>_<arch>.deb  voltrane-log and voltrane-meter-sim, no display
#   build/voltrane_<version>_<arch>.deb      the windowed program, depends on voltrane-log
# As root it first installs what packaging needs; otherwise it prints the apt-get line.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(dpkg-dev file lintian desktop-file-utils appstream)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" >/dev/null
    else
        echo "Missing packages. Run as root:" >&2
        echo "  sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
fi
# Progress goes to stderr: stdout lists the packages' paths, voltrane-log's first.
bash scripts/deps.sh >&2
bash scripts/build.sh build >&2
rm -f build/voltrane_*.deb build/voltrane-log_*.deb
(cd build && cpack -G DEB >&2)
ls build/voltrane-log_*.deb
ls build/voltrane_*.deb
