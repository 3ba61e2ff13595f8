#!/usr/bin/env bash
# Installs what is missing, builds, starts the handset simulator on a
# pseudo-terminal and prints its device path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build
state="${XDG_STATE_HOME:-$HOME/.local/state}/m2bus-demo"
mkdir -p "$state"
exec build/sim/m2bus-sim --state "$state/handset.state"
