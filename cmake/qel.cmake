# Build conventions shared by every folder.

add_compile_options(-Wall -Wextra)

if(QEL_WINDOWS)
    # Statically linked, so Wine needs nothing beyond its own system DLLs.
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
    add_link_options(-static -static-libgcc -static-libstdc++)
    set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
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
    if(QEL_WINDOWS)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 120 LABELS unit)
endfunction()

# Test that runs Windows programs under Wine: mingw build only. The script runs inside
# tests/wine/run, which gives it a private prefix, a virtual display and a clean exit.
function(qel_wine_test name)
    cmake_parse_arguments(ARG "" "SCRIPT;TIMEOUT" "" ${ARGN})
    if(NOT QEL_WINDOWS)
        return()
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_test(NAME ${name}
             COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/run ${ARG_TIMEOUT} ${ARG_SCRIPT})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT} LABELS wine
        ENVIRONMENT "QEL_BIN=${CMAKE_BINARY_DIR}/bin;QEL_WINE_ROOT=${CMAKE_BINARY_DIR}/wine;QEL_SOURCE=${CMAKE_SOURCE_DIR};QEL_NATIVE_BIN=${CMAKE_SOURCE_DIR}/build/native/bin")
endfunction()
