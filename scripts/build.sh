#!/usr/bin/env bash
# Configures and builds the project in ./build (or $LX735_BUILD_DIR): every target, or
# only those named in $LX735_BUILD_TARGETS (blank-separated).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${LX735_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLX735_WERROR=ON \
    "$@" >/dev/null
targets=()
for target in ${LX735_BUILD_TARGETS:-}; do
    targets+=(--target "$target")
done
cmake --build "$BUILD_DIR" -j "$(nproc)" "${targets[@]}"
