# From a Linux build: cross-builds sender.exe for 32-bit x86 Windows and runs
# the end-to-end table against it under Wine, where the cross compiler and a
# 32-bit Wine are present.
set(SENDER_WINDOWS_SUITE AUTO CACHE STRING
    "Cross-build sender.exe and test it under Wine: ON, OFF, or AUTO (when the tools are present)")
set_property(CACHE SENDER_WINDOWS_SUITE PROPERTY STRINGS AUTO ON OFF)
if(NOT SENDER_WINDOWS_SUITE)
    return()
endif()

find_program(SENDER_MINGW_CXX i686-w64-mingw32-g++)
find_program(SENDER_WINE wine)
find_program(SENDER_WINESERVER wineserver)
find_program(SENDER_WINEBOOT wineboot)
foreach(tool IN ITEMS SENDER_MINGW_CXX SENDER_WINE SENDER_WINESERVER SENDER_WINEBOOT)
    if(NOT ${tool})
        if(SENDER_WINDOWS_SUITE STREQUAL "AUTO")
            message(STATUS "Windows suite off: ${tool} not found (see the README's prerequisites)")
            return()
        endif()
        message(FATAL_ERROR "SENDER_WINDOWS_SUITE is ON but ${tool} was not found")
    endif()
endforeach()

include(ExternalProject)
set(windows_dir ${CMAKE_BINARY_DIR}/windows-x86)
ExternalProject_Add(sender_windows
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${windows_dir}
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/i686-w64-mingw32.cmake
        -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
        -DCMAKE_COMPILE_WARNING_AS_ERROR=${CMAKE_COMPILE_WARNING_AS_ERROR}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${windows_dir}/sender.exe)
add_dependencies(end_to_end_test sender_windows)

sender_check_imports(${windows_dir}/sender.exe)

# A throwaway 32-bit prefix, made once for the whole suite (Wine's first start
# takes seconds), with a persistent wineserver so that each run starts fast.
# Mono and Gecko are never offered.
set(wine_env
    WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEARCH=win32 WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml=")
add_test(NAME wine.start
    COMMAND env ${wine_env} ${CMAKE_COMMAND} -DWINEBOOT=${SENDER_WINEBOOT} -DWINESERVER=${SENDER_WINESERVER}
            -P ${PROJECT_SOURCE_DIR}/cmake/WinePrefix.cmake)
add_test(NAME wine.stop COMMAND env ${wine_env} ${SENDER_WINESERVER} -k)
set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine)

# Natively only: the rows decided by bind() itself, whose semantics Wine does
# not share with Windows, and those about the native process (its open file
# limit and peak memory).
gtest_discover_tests(end_to_end_test
    TEST_PREFIX "wine."
    TEST_FILTER "-BindRows/*:ProcessRows/*"
    EXTRA_ARGS --crlf env ${wine_env} ${SENDER_WINE} ${windows_dir}/sender.exe
    NO_PRETTY_VALUES
    PROPERTIES RESOURCE_LOCK udp_ports_4148_6000 FIXTURES_REQUIRED wine TIMEOUT 60)
