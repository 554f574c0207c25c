# Included by the top CMakeLists.txt before any library is defined when LX735_FUZZ is on:
# every library that a fuzz target links is then built with the fuzzer's coverage
# instrumentation and the address and undefined-behaviour sanitizers. Sets
# LX735_FUZZ_SUPPORTED; without a compiler that links libFuzzer nothing is changed.

include(CheckCXXSourceCompiles)

set(LX735_FUZZ_SANITIZERS address,undefined)
set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer,${LX735_FUZZ_SANITIZERS}")
set(CMAKE_REQUIRED_LINK_OPTIONS "-fsanitize=fuzzer,${LX735_FUZZ_SANITIZERS}")
check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }
]] LX735_FUZZ_SUPPORTED)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)

if(LX735_FUZZ_SUPPORTED)
    # A sanitizer report must stop the run, or the fuzzer would go on past it.
    add_compile_options(-fsanitize=fuzzer-no-link,${LX735_FUZZ_SANITIZERS}
                        -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=${LX735_FUZZ_SANITIZERS})
else()
    message(WARNING "LX735_FUZZ: ${CMAKE_CXX_COMPILER} cannot link libFuzzer "
                    "(use clang++ with its runtime libraries); no fuzz target is built")
endif()
