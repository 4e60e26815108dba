# cmake -DVALGRIND=... -DSENDER=... -DFLOOR=... -DANSWERS=... -DLIMIT=... -DRATIO_PERCENT=... -P instruction-count.cmake
# Counts a scripted run's instructions with callgrind, in an empty
# environment (the C library scans it at start-up); fails past LIMIT, or past
# RATIO_PERCENT of the floor program's, which the toolchain moves.
function(count_instructions program result)
    execute_process(COMMAND env -i ${VALGRIND} --tool=callgrind --callgrind-out-file=/dev/null ${program}
        INPUT_FILE ${ANSWERS} OUTPUT_QUIET ERROR_VARIABLE report RESULT_VARIABLE failed)
    if(failed OR NOT report MATCHES "Collected : ([0-9]+)")
        message(FATAL_ERROR "callgrind could not count the run of ${program}:\n${report}")
    endif()
    set(${result} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

count_instructions(${SENDER} instructions)
count_instructions(${FLOOR} floor)
math(EXPR ratio "(${instructions} * 100 + ${floor} / 2) / ${floor}")
if(NOT LIMIT)
    set(LIMIT "none on this processor")
endif()
message(STATUS "${instructions} instructions for one whole run (limit ${LIMIT}); "
               "the floor program ${floor}, ${ratio}% of it")
if(instructions GREATER LIMIT)
    message(FATAL_ERROR "${instructions} instructions: more than ${LIMIT}")
endif()
math(EXPR allowed "${floor} * ${RATIO_PERCENT} / 100")
if(instructions GREATER allowed)
    message(FATAL_ERROR "${instructions} instructions: more than ${RATIO_PERCENT}% of the floor's ${floor}")
endif()
