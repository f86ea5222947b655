#!/usr/bin/env bash
# Builds Voltrane and starts it against the meter simulator, with settings kept private to the
# demo (build/demo-config): port 1 is the simulator's pseudo-terminal. Arguments go to the
# simulator (see build/voltrane-meter-sim --help), e.g.: scripts/demo.sh --secondary FREQ
# VOLTRANE_DEMO_SECONDS=N ends the program after N seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/deps.sh
bash scripts/build.sh build

config="$root/build/demo-config"
mkdir -p "$config/Voltrane"
work=$(mktemp -d)
sim_pid=""
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

"$root/build/voltrane-meter-sim" --log "$root/build/demo-sim-received.log" "$@" >"$work/sim.out" &
sim_pid=$!
pty=""
for _ in $(seq 100); do
    pty=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
    [ -n "$pty" ] && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$pty" ]; then
    echo "demo: the meter simulator did not start" >&2
    exit 1
fi
echo "demo: meter simulator on $pty (bytes received: build/demo-sim-received.log)"

# Port 1 is the simulator; the rest of the demo's settings survive from run to run.
conf="$config/Voltrane/Voltrane.conf"
touch "$conf"
awk -v pty="$pty" '
    /^\[/ { section = $0 }
    section == "[Ports]" { next }
    section == "[Startup]" && /^CommPort=/ { next }
    { print }
    END { print "[Ports]"; print "Com1=" pty }
' "$conf" >"$work/conf"
if grep -q '^\[Startup\]' "$work/conf"; then
    sed -i 's/^\[Startup\]$/[Startup]\nCommPort=1/' "$work/conf"
else
    printf '[Startup]\nCommPort=1\n' >>"$work/conf"
fi
cp "$work/conf" "$conf"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "demo: no display found; running offscreen (set DISPLAY to see the window)" >&2
    export QT_QPA_PLATFORM=offscreen
fi

status=0
if [ -n "${VOLTRANE_DEMO_SECONDS:-}" ]; then
    XDG_CONFIG_HOME="$config" timeout "$VOLTRANE_DEMO_SECONDS" "$root/build/voltrane" || status=$?
    [ "$status" -eq 124 ] && status=0
else
    XDG_CONFIG_HOME="$config" "$root/build/voltrane" || status=$?
fi
exit "$status"
