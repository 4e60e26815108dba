# Checks as tests, where the tools are found: clang-tidy, cppcheck and
# clang-format over the program's sources, callgrind's count of one run (these
# four in native builds only), the hardening of the built program, and the
# Debian package.
add_test(NAME hardening.elf
    COMMAND ${CMAKE_COMMAND} -DREADELF=${CMAKE_READELF} -DOBJDUMP=${CMAKE_OBJDUMP} -DEXECUTABLE=$<TARGET_FILE:sender>
            -DCOMMANDS=${CMAKE_BINARY_DIR}/compile_commands.json -DSOURCES=${PROJECT_SOURCE_DIR}/src
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckHardening.cmake)

find_program(SENDER_CLANG_TIDY clang-tidy)
find_program(SENDER_CPPCHECK cppcheck)
find_program(SENDER_CLANG_FORMAT clang-format)

file(GLOB program_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.cpp)
file(GLOB formatted_sources CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/src/*.[ch]pp ${PROJECT_SOURCE_DIR}/tests/*.cpp)

if(SENDER_CLANG_TIDY AND NOT CMAKE_CROSSCOMPILING)
    add_test(NAME lint.clang-tidy COMMAND ${SENDER_CLANG_TIDY} -p ${CMAKE_BINARY_DIR} --quiet ${program_sources})
endif()
if(SENDER_CPPCHECK AND NOT CMAKE_CROSSCOMPILING)
    add_test(NAME lint.cppcheck
        COMMAND ${SENDER_CPPCHECK} --enable=warning,style,performance,portability --std=c++17 --language=c++
                --error-exitcode=1 --inline-suppr --suppress=missingIncludeSystem --quiet
                -I ${PROJECT_SOURCE_DIR}/src ${program_sources})
endif()
if(SENDER_CLANG_FORMAT AND NOT CMAKE_CROSSCOMPILING)
    add_test(NAME lint.clang-format COMMAND ${SENDER_CLANG_FORMAT} --dry-run --Werror ${formatted_sources})
endif()

# The run's cost in instructions, for the statically linked program, against
# a trivial program built the same way.
find_program(SENDER_VALGRIND valgrind)
if(SENDER_VALGRIND AND SENDER_STATIC_LINK AND NOT CMAKE_CROSSCOMPILING)
    add_executable(instruction_baseline ${PROJECT_SOURCE_DIR}/cmake/InstructionBaseline.cpp)
    sender_link_mode(instruction_baseline)
    # The absolute limit was measured on x86-64; other processors count
    # other instructions, and only the ratio to the floor holds there.
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
        set(limit 110000)
    else()
        set(limit "")
    endif()
    file(WRITE ${CMAKE_BINARY_DIR}/answers.txt "127.0.0.1\n127.0.0.1\n0\n")
    add_test(NAME perf.instructions
        COMMAND ${CMAKE_COMMAND} -DVALGRIND=${SENDER_VALGRIND} -DSENDER=$<TARGET_FILE:sender>
                -DBASELINE=$<TARGET_FILE:instruction_baseline> -DANSWERS=${CMAKE_BINARY_DIR}/answers.txt
                -DLIMIT=${limit} -DRATIO_PERCENT=115 -P ${PROJECT_SOURCE_DIR}/cmake/InstructionCount.cmake)
    # It binds port 4148 like the end-to-end tests.
    set_tests_properties(perf.instructions PROPERTIES RESOURCE_LOCK udp_ports_4148_6000)
endif()

# The Debian package, as cpack makes it from this tree, checked by lintian.
find_program(SENDER_LINTIAN lintian)
find_program(SENDER_DPKG dpkg)
if(SENDER_LINTIAN AND SENDER_DPKG)
    set(arch ${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
    if(NOT arch)
        execute_process(COMMAND ${SENDER_DPKG} --print-architecture OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE)
    endif()
    add_test(NAME package.lintian
        COMMAND ${CMAKE_COMMAND} -DCPACK=${CMAKE_CPACK_COMMAND} -DCONFIG=${CMAKE_BINARY_DIR}/CPackConfig.cmake
                -DDIR=${CMAKE_BINARY_DIR}/package-check -DDEB=sender_${PROJECT_VERSION}_${arch}.deb
                -DLINTIAN=${SENDER_LINTIAN} -P ${PROJECT_SOURCE_DIR}/cmake/CheckPackage.cmake)
    set_tests_properties(package.lintian PROPERTIES TIMEOUT 300)
endif()
