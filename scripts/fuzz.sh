#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer)
# in ./build-fuzz-clang (or $LX735_FUZZ_BUILD_DIR) and runs each of them for
# $LX735_FUZZ_SECONDS seconds (default 20) as a CTest test. Extra arguments go to ctest
# (e.g. -R fuzz.setcom). Without a clang that links libFuzzer it says so and stops.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${LX735_FUZZ_BUILD_DIR:-build-fuzz-clang}
FUZZ_CXX=${LX735_FUZZ_CXX:-clang++}
SECONDS_EACH=${LX735_FUZZ_SECONDS:-20}

probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
    'extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }' \
    >"$probe/probe.cpp"
if ! command -v "$FUZZ_CXX" >/dev/null ||
    ! "$FUZZ_CXX" -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" \
        2>/dev/null; then
    echo "fuzz: $FUZZ_CXX cannot link libFuzzer; the fuzz targets are not run"
    exit 0
fi

# Optimised but with assertions, as fuzzing wants it. Warnings that only clang gives in the
# libraries do not stop the fuzzing (the main build keeps them errors); the fuzz targets
# themselves build with -Werror.
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_CXX_COMPILER="$FUZZ_CXX" -DCMAKE_BUILD_TYPE= \
    -DCMAKE_CXX_FLAGS="-O1 -g" -DLX735_FUZZ=ON -DLX735_TESTS=OFF -DLX735_BENCH=OFF \
    -DLX735_WERROR=OFF -DLX735_FUZZ_SECONDS="$SECONDS_EACH" >/dev/null
cmake --build "$BUILD_DIR" --target lx735_fuzz -j "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" "$@"
