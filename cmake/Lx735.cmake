# Build helpers shared by every folder.

function(lx735_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(LX735_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# lx735_subsystem(<name> DEPS <libs...>): one static library from the folder's sources.
# Headers are included as "<folder>/<Component>.h" from src/.
function(lx735_subsystem name)
    # TIMEOUT: ctest's bound for each test, in s (default 120); never below the longest
    # bound a test of the program waits with itself.
    cmake_parse_arguments(A "" "TIMEOUT" "DEPS" ${ARGN})
    if(NOT A_TIMEOUT)
        set(A_TIMEOUT 120)
    endif()
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
         ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(NOT sources)
        # A subsystem folder whose first component is not written yet.
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE ${A_DEPS})
        return()
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${A_DEPS})
    lx735_warnings(${name})
endfunction()

# lx735_test(<name> DEPS <libs...>): one GoogleTest program from the folder's *.cpp,
# each test registered with CTest. The shared test main runs Qt offscreen.
function(lx735_test name)
    # TIMEOUT: ctest's bound for each test, in s (default 120); never below the longest
    # bound a test of the program waits with itself.
    cmake_parse_arguments(A "" "TIMEOUT" "DEPS" ${ARGN})
    if(NOT A_TIMEOUT)
        set(A_TIMEOUT 120)
    endif()
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
         ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE lx735_testsupport ${A_DEPS})
    target_compile_definitions(${name} PRIVATE
        LX735_FIXTURES="${CMAKE_CURRENT_SOURCE_DIR}/fixtures"
        LX735_TEST_BINARY_DIR="${CMAKE_CURRENT_BINARY_DIR}"
        LX735_TOOLS_DIR="${PROJECT_BINARY_DIR}/tools"
        LX735_ROOT_DIR="${LX735_ROOT}"
        LX735_SOURCE_DATA_DIR="${PROJECT_SOURCE_DIR}/data")
    # Tests run the data-file generators and read the staged tree.
    add_dependencies(${name} lx735-scramble lx735-make-firmware firmware_image help_pdf)
    lx735_warnings(${name})
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${A_TIMEOUT})
endfunction()
