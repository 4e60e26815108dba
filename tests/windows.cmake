# sender.exe, built by the windows-x86 preset in this tree's windows-x86,
# through the release's check and the end-to-end table under Wine.
option(SENDER_WINDOWS_SUITE "Build sender.exe and test it under Wine" ON)
if(NOT SENDER_WINDOWS_SUITE)
    return()
endif()
find_program(SENDER_MINGW_CXX i686-w64-mingw32-g++)
if(NOT SENDER_MINGW_CXX)
    sender_suite_lacks("Windows suite" i686-w64-mingw32-g++ g++-mingw-w64-i686)
    return()
endif()

include(ExternalProject)
set(windows_dir ${CMAKE_BINARY_DIR}/windows-x86)
ExternalProject_Add(sender_windows
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${windows_dir}
    CONFIGURE_COMMAND ${CMAKE_COMMAND} -S ${PROJECT_SOURCE_DIR} --preset windows-x86 -B ${windows_dir}
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${windows_dir}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${windows_dir}/sender.exe)
add_dependencies(end_to_end_test sender_windows)
add_test(NAME windows.check
    COMMAND ${CMAKE_COMMAND} -DFILES=${windows_dir}/sender.exe -DTREE=${windows_dir}
            -P ${PROJECT_SOURCE_DIR}/release/check.cmake)

# Wine runs in the project's root (scripts/debian-root); its 32-bit programs
# under qemu-i386 where the kernel cannot run them, or always (ON).
set(SENDER_WINE_EMULATION AUTO CACHE STRING "Run Wine's 32-bit programs under qemu-i386: AUTO or ON")
set(in_root ${PROJECT_SOURCE_DIR}/scripts/debian-root run wine)
set(shared ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR} --)
set(emulator_env "")
macro(probe loader) # sets ${loader}_fails and why
    execute_process(COMMAND ${in_root} ${shared} env ${emulator_env} /usr/lib/wine/${loader} --version
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR} RESULT_VARIABLE ${loader}_fails OUTPUT_QUIET ERROR_VARIABLE why)
endmacro()
probe(wine64)
probe(wine)
if(why MATCHES "^debian-root: no (wine root in [^ ]*)" AND CMAKE_HOST_SYSTEM_PROCESSOR STREQUAL "x86_64")
    sender_suite_lacks("Windows suite: the rows under Wine" "the ${CMAKE_MATCH_1}" "mmdebstrap and makes it")
    return()
endif()
set(way natively)
if(SENDER_WINE_EMULATION STREQUAL "ON" OR wine_fails)
    set(in_root ${in_root} --qemu)
    # qemu-i386 7.2 scans for address space page by page: 40 s a Wine
    # process, 1 s with 256 KiB pages.
    set(emulator_env QEMU_PAGESIZE=262144)
    set(way "under qemu-i386 (SENDER_WINE_EMULATION ${SENDER_WINE_EMULATION})")
    probe(wine)
endif()
# Off, a skipped row saying why, where this machine cannot (debian-root says
# so); failing elsewhere under SENDER_REQUIRE_SUITES, and in a release.
if(wine_fails)
    string(REGEX REPLACE "\n.*" "" why "${why}")
    set(line "Windows suite: the rows under Wine are off: Wine's 32-bit loader did not run, \
natively or under qemu-i386 (${why})")
    if(SENDER_REQUIRE_SUITES AND NOT why MATCHES "^debian-root: .*this machine" OR "$ENV{SENDER_ROOT}" STREQUAL release)
        message(FATAL_ERROR "${line}, and this build requires them")
    endif()
    message(STATUS "${line}")
    add_test(NAME wine32.off COMMAND ${CMAKE_COMMAND} -E echo "${line}")
    set_tests_properties(wine32.off PROPERTIES SKIP_REGULAR_EXPRESSION "are off")
    return()
endif()
message(STATUS "Windows suite: the rows under Wine run in its root, its 32-bit programs ${way}")

# Not the rows decided by bind(), whose semantics Wine does not share with
# Windows, or the process rows.
rows_but(wine_rows BindRows/* TwoHostBindRows/* ProcessRows/* ${rows_off})

# A prefix per kind, made once, with a persistent wineserver, which makes the
# sockets, on the sender's host; no Mono or Gecko. wine32: a 32-bit Windows;
# wow64: a 64-bit one, as Windows 11.
function(wine_rows kind arch)
    set(prefix ${CMAKE_BINARY_DIR}/${kind}-prefix)
    set(wine ${in_root} ${shared} env WINEPREFIX=${prefix} WINEARCH=${arch} WINEDEBUG=-all
             "WINEDLLOVERRIDES=mscoree,mshtml=" ${emulator_env})
    add_test(NAME ${kind}.start
        COMMAND ${in_sender_host} ${CMAKE_COMMAND} -DPREFIX=${prefix} "-DWINE=${wine}"
                -DPROGRAM=${windows_dir}/sender.exe -P ${CMAKE_CURRENT_SOURCE_DIR}/wine-prefix.cmake)
    add_test(NAME ${kind}.stop COMMAND ${wine} wineserver -k)
    set_tests_properties(${kind}.start PROPERTIES FIXTURES_SETUP ${kind} FIXTURES_REQUIRED hosts TIMEOUT 300)
    set_tests_properties(${kind}.stop PROPERTIES FIXTURES_CLEANUP ${kind})
    gtest_discover_tests(end_to_end_test
        TEST_PREFIX "${kind}."
        TEST_FILTER "${wine_rows}"
        EXTRA_ARGS ${hosts_args} --crlf ${wine} wine ${windows_dir}/sender.exe
        NO_PRETTY_VALUES
        PROPERTIES RESOURCE_LOCK udp_ports_4148_6000 FIXTURES_REQUIRED ${kind} TIMEOUT 60)
    # The test hosts outlive the prefix's last row.
    if(SENDER_TEST_HOSTS)
        set_property(TEST hosts.down APPEND PROPERTY DEPENDS ${kind}.stop)
    endif()
endfunction()

wine_rows(wine32 win32)
if(NOT wine64_fails)
    wine_rows(wow64 win64)
else()
    message(STATUS "Windows suite: no WoW64 rows: Wine's 64-bit loader does not run")
endif()
