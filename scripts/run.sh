#!/usr/bin/env bash
# Installs what is missing, builds, and starts the tool as a demo: the handset
# simulator plays the phone on COM1 and a local demo gateway takes SMS. The
# demo runs as its own program ("m2bus-demo") with its own settings and its
# own Operators.ini, so a real cable's settings and profiles stay untouched.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build
bash scripts/build.sh build -DM2BUS_BENCH=OFF

demo=build/demo
state="${XDG_STATE_HOME:-$HOME/.local/state}/m2bus-demo"
config="${XDG_CONFIG_HOME:-$HOME/.config}/m2bus-demo.ini"
mkdir -p "$demo" "$state" "$(dirname "$config")"
cp -f build/app/m2bus-tool "$demo/m2bus-demo"

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

# The simulator prints its pseudo-terminal on its first line.
fifo=$(mktemp -u); mkfifo "$fifo"
build/sim/m2bus-sim --bus --turnaround 20 --state "$state/handset.state" >"$fifo" &
pids+=($!)
read -r device <"$fifo"; rm -f "$fifo"
echo "handset simulator on $device"
python3 scripts/demo-settings.py "$config" "$device"

# The demo gateway listens on a free port (or the one asked for) and points
# the demo's two operator profiles at it on every run; profiles the user
# added in the demo stay as they are. It prints its port first.
fifo=$(mktemp -u); mkfifo "$fifo"
python3 scripts/demo-gateway.py "${M2BUS_DEMO_GATEWAY_PORT:-0}" --operators "$demo/Operators.ini" >"$fifo" &
pids+=($!)
gateway_port=
read -r -t 10 gateway_port <"$fifo" || true
rm -f "$fifo"
if [ -z "$gateway_port" ]; then
  echo "run: the demo SMS gateway did not start (see its message above)" >&2
  exit 1
fi

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: start it from a desktop session, or under xvfb-run." >&2
  exit 1
fi
"$demo/m2bus-demo"
