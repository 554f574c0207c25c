#!/usr/bin/env bash
# Installs what is missing, builds, and runs lx735 against the simulated ECU.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh
if [ ! -x build/root/BIN/lx735 ] || [ ! -x build/sim/lx735-sim ]; then
    echo "demo.sh: the program and the simulated ECU are not built yet." >&2
    exit 1
fi
