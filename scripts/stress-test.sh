#!/usr/bin/env bash
# Runs the whole ctest suite on a busy machine: N busy loops of its own (default one per
# core, or $LX735_STRESS_LOOPS) keep every core loaded while the tests run at
# -j$(nproc), as on a shared CI runner. The loops are ended by their process ids however
# the run ends. Extra arguments go to ctest (e.g. --repeat until-fail:3, -R EndToEnd).
# Builds first (./scripts/build.sh); the exit code is ctest's.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${LX735_BUILD_DIR:-build}
LOOPS=${LX735_STRESS_LOOPS:-$(nproc)}

./scripts/build.sh

loops=()
stop_loops() {
    if [ ${#loops[@]} -gt 0 ]; then
        kill "${loops[@]}" 2>/dev/null || true
        wait "${loops[@]}" 2>/dev/null || true
        loops=()
    fi
}
trap stop_loops EXIT INT TERM

for _ in $(seq "$LOOPS"); do
    # A shell loop that only spins: no I/O, no children.
    bash -c 'while :; do :; done' &
    loops+=("$!")
done
echo "stress: $LOOPS busy loops (pids ${loops[*]}) while ctest runs"

status=0
QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" "$@" ||
    status=$?
stop_loops
exit "$status"
