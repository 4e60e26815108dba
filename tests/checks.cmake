# A native build's lint, and callgrind's count of a run against a trivial
# program's.
foreach(tool IN ITEMS clang-tidy cppcheck clang-format valgrind)
    string(MAKE_C_IDENTIFIER ${tool} variable)
    string(TOUPPER SENDER_${variable} variable)
    find_program(${variable} ${tool})
    if(NOT ${variable})
        sender_suite_lacks("Checks: the ${tool} check" ${tool} ${tool})
    endif()
endforeach()

file(GLOB program_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.cpp)
file(GLOB formatted_sources CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/src/*.[ch]pp ${PROJECT_SOURCE_DIR}/tests/*.cpp)
# clang-tidy gets its flags here: CMake 3.25's compile commands mangle a '$'.
if(SENDER_CLANG_TIDY)
    add_test(NAME lint.clang-tidy
        COMMAND ${SENDER_CLANG_TIDY} --quiet ${program_sources} -- -std=c++17 -I${PROJECT_SOURCE_DIR}/src)
endif()
if(SENDER_CPPCHECK)
    add_test(NAME lint.cppcheck
        COMMAND ${SENDER_CPPCHECK} --enable=warning,style,performance,portability --std=c++17 --language=c++
                --error-exitcode=1 --inline-suppr --suppress=missingIncludeSystem --quiet
                -I ${PROJECT_SOURCE_DIR}/src ${program_sources})
endif()
if(SENDER_CLANG_FORMAT)
    add_test(NAME lint.clang-format COMMAND ${SENDER_CLANG_FORMAT} --dry-run --Werror ${formatted_sources})
endif()

if(SENDER_VALGRIND AND SENDER_STATIC_LINK)
    add_executable(instruction_floor instruction_floor.cpp)
    target_link_libraries(instruction_floor PRIVATE sender_hardening)
    sender_link_static(instruction_floor)
    # Measured on x86-64; elsewhere only the ratio to the floor holds.
    set(limit "")
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
        set(limit 110000)
    endif()
    file(WRITE ${CMAKE_BINARY_DIR}/answers.txt "127.0.0.1\n127.0.0.1\n0\n")
    add_test(NAME perf.instructions
        COMMAND ${CMAKE_COMMAND} -DVALGRIND=${SENDER_VALGRIND} -DSENDER=$<TARGET_FILE:sender>
                -DFLOOR=$<TARGET_FILE:instruction_floor> -DANSWERS=${CMAKE_BINARY_DIR}/answers.txt
                -DLIMIT=${limit} -DRATIO_PERCENT=115 -P ${CMAKE_CURRENT_SOURCE_DIR}/instruction-count.cmake)
    # It binds port 4148 like the end-to-end tests.
    set_tests_properties(perf.instructions PROPERTIES RESOURCE_LOCK udp_ports_4148_6000)
endif()
