#!/usr/bin/env bash
# Makes the user guide's screenshots (docs/images/*.png): builds the program, starts the meter
# simulator on a pseudo-terminal and drives the real windows under Xvfb with
# build/voltrane-screenshots, which saves each window as a PNG. Settings and the logged file
# stay in a private folder; the user's own settings are never touched.
#   scripts/screenshots.sh [build folder]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac

# Beyond scripts/deps.sh: the virtual X server and, to shrink the images, ImageMagick.
missing=()
command -v xvfb-run >/dev/null || missing+=(xvfb)
command -v xauth >/dev/null || missing+=(xauth)
command -v convert >/dev/null || missing+=(imagemagick)
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    elif ! command -v xvfb-run >/dev/null; then
        echo "screenshots: run as root first: apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
fi

bash scripts/deps.sh
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target voltrane voltrane-meter-sim voltrane-screenshots

work=$(mktemp -d /tmp/voltrane.XXXXXX)
sim_pids=()
cleanup() {
    for pid in "${sim_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

# Starts a simulator with the given arguments and sets $pty to its pseudo-terminal. Not in a
# subshell: the simulator ends with the process that started it.
start_sim() {
    local out="$work/sim${#sim_pids[@]}.out"
    "$build/voltrane-meter-sim" "$@" >"$out" &
    sim_pids+=($!)
    local pid=$!
    pty=""
    for _ in $(seq 100); do
        pty=$(head -n 1 "$out" 2>/dev/null || true)
        [ -n "$pty" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$pty" ]; then
        echo "screenshots: the meter simulator did not start" >&2
        exit 1
    fi
}

# Com1: a 4 V rail with a slow 1.5 V swing, one reading every 100 ms (a 10 s period).
awk 'BEGIN { for (k = 0; k < 100; k++) {
    v = 4.0 + 1.5 * sin(2 * 3.14159265 * k / 100) + 0.02 * sin(k * 7.3)
    printf "%+.4fE+0 VDC\n", v } }' >"$work/ripple.txt"
start_sim --script "$work/ripple.txt" --interval 100
pty1=$pty
# Com2: the simulator's own readings (a fixed seed keeps the pictures alike from run to run).
start_sim --function VAC --rate F --seed 7
pty2=$pty

mkdir -p "$work/config/Voltrane"
printf '[Startup]\nCommPort=1\n\n[Ports]\nCom1=%s\nCom2=%s\n' "$pty1" "$pty2" \
    >"$work/config/Voltrane/Voltrane.conf"

# The images land in docs/images only when the whole session went through.
XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb \
    timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
    "$build/voltrane-screenshots" "$work/images" "$work/Measurements"
images="$root/docs/images"
mkdir -p "$images"
cp "$work"/images/*.png "$images"/

# Screenshots have few colours: a palette keeps each image to a few tens of kB.
if command -v convert >/dev/null; then
    for f in "$images"/*.png; do
        convert "$f" -strip -colors 64 PNG8:"$f.tmp" && mv "$f.tmp" "$f"
    done
fi
ls -l "$images"
