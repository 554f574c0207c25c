#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${LX735_BUILD_DIR:-build}" --output-on-failure -j "$(nproc)"
# The fuzz targets: a clang build of their own, each fuzzing for a bounded time.
./scripts/fuzz.sh
