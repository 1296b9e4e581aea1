# Build conventions shared by every folder. Four builds: native (unit tests, sanitizers),
# mingw (the Windows programs, tested under Wine), fuzz (clang, libFuzzer targets) and
# linux (QEL_LINE_SERVER: the line server's programs as its package ships them).

add_compile_options(-Wall -Wextra)

if(QEL_WINDOWS)
    # Statically linked, so Wine needs nothing beyond its own system DLLs.
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
    # No time stamp in the PE headers, so the same commit builds the same bytes.
    add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)
    set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
elseif(QEL_FUZZ)
    # Only fuzz targets are built here; the library code gets coverage instrumentation.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
    set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
elseif(QEL_LINE_SERVER)
    # Release programs for the package: no sanitizers, and no unit tests (native runs them).
    set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
else()
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
    set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    find_package(GTest REQUIRED)
endif()

# Unit test of portable code: native build only, one ctest entry per executable.
function(qel_unit_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    if(QEL_WINDOWS OR QEL_FUZZ OR QEL_LINE_SERVER)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 120 LABELS unit)
endfunction()

# The Windows-side tests the 32-bit build runs as well: the bus, the serial channel, the
# controller's cycle, two whole-station runs (one of them through a pulled adapter, the
# 32-bit serial channel's hardest path), the station of both architectures and the
# installer of the 32-bit programs. The rest
# drive the same portable code and Win32 calls; running them twice would double CI time.
set(QEL_WINE32_TESTS wine_bus wine_com_channel wine_qel_cycle e2e_all_pass e2e_adapter_pulled
    e2e_mixed_arch wine_install)

# Test that runs Windows programs under Wine: mingw builds only. The script runs inside
# tests/wine/run, which gives it a private prefix, a virtual display and a clean exit.
# QEL_BIN64 names the 64-bit programs, for a 32-bit test that runs both.
function(qel_wine_test name)
    cmake_parse_arguments(ARG "" "SCRIPT;TIMEOUT;ONLY" "" ${ARGN})
    if(NOT QEL_WINDOWS OR QEL_FUZZ)
        return()
    endif()
    if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND NOT name IN_LIST QEL_WINE32_TESTS)
        return()
    endif()
    if(ARG_ONLY STREQUAL "32" AND NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
        return()
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_test(NAME ${name}
             COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/run ${ARG_TIMEOUT} ${ARG_SCRIPT})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT} LABELS wine
        ENVIRONMENT "QEL_BIN=${CMAKE_BINARY_DIR}/bin;QEL_WINE_ROOT=${CMAKE_BINARY_DIR}/wine;QEL_SOURCE=${CMAKE_SOURCE_DIR};QEL_NATIVE_BIN=${CMAKE_SOURCE_DIR}/build/native/bin;QEL_BIN64=${CMAKE_SOURCE_DIR}/build/mingw/bin")
endfunction()

# A version resource for a shipped Windows binary: the project's version, a description and
# the file's original name.
function(qel_version_info target description)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "SHARED_LIBRARY")
        set(QEL_VERSION_TYPE VFT_DLL)
        set(QEL_VERSION_FILE ${target}.dll)
    else()
        set(QEL_VERSION_TYPE VFT_APP)
        set(QEL_VERSION_FILE ${target}.exe)
    endif()
    set(QEL_VERSION_DESCRIPTION ${description})
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()

# libFuzzer target: fuzz build only. Its test runs it for a fixed time and fails on a finding.
function(qel_fuzz_target name)
    cmake_parse_arguments(ARG "" "SECONDS" "SOURCES;LIBS" ${ARGN})
    if(NOT QEL_FUZZ)
        return()
    endif()
    if(NOT ARG_SECONDS)
        set(ARG_SECONDS 30)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(corpus ${CMAKE_BINARY_DIR}/corpus/${name})
    file(MAKE_DIRECTORY ${corpus})
    add_test(NAME ${name}
             COMMAND ${name} -max_total_time=${ARG_SECONDS} -print_final_stats=1 ${corpus})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300 LABELS fuzz)
endfunction()

# The portable library of a folder: every .cpp beside the CMakeLists except tests, fuzz
# targets and benchmarks, plus with PLATFORM_FILES the files of win/ or posix/.
# Its *_test.cpp files make one unit-test executable, each *_fuzz.cpp a fuzz target.
function(qel_core_library name)
    cmake_parse_arguments(ARG "PLATFORM_FILES" "" "LIBS;TEST_LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "_(test|fuzz|bench)\\.cpp$")
    if(ARG_PLATFORM_FILES)
        if(QEL_WINDOWS)
            file(GLOB platform CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win/*.cpp)
        else()
            file(GLOB platform CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/posix/*.cpp)
        endif()
        list(APPEND sources ${platform})
    endif()
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARG_LIBS})
    endif()

    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    if(tests)
        qel_unit_test(${name}_test SOURCES ${tests} LIBS ${name} ${ARG_TEST_LIBS})
    endif()
    file(GLOB fuzzers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_fuzz.cpp)
    foreach(fuzzer ${fuzzers})
        get_filename_component(fuzz_name ${fuzzer} NAME_WE)
        qel_fuzz_target(${fuzz_name} SOURCES ${fuzzer} LIBS ${name})
    endforeach()
endfunction()
