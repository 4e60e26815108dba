# cmake -DVALGRIND=... -DSENDER=... -DANSWERS=... -DLIMIT=... -P InstructionCount.cmake
# Counts the instructions of one whole scripted run with callgrind, in an empty
# environment (the C library scans the environment at start-up), and fails
# past the limit.
execute_process(COMMAND env -i ${VALGRIND} --tool=callgrind --callgrind-out-file=/dev/null ${SENDER}
    INPUT_FILE ${ANSWERS} OUTPUT_QUIET ERROR_VARIABLE report RESULT_VARIABLE failed)
if(failed OR NOT report MATCHES "Collected : ([0-9]+)")
    message(FATAL_ERROR "callgrind could not count the run:\n${report}")
endif()
set(instructions ${CMAKE_MATCH_1})
message(STATUS "${instructions} instructions for one whole run (limit ${LIMIT})")
if(instructions GREATER LIMIT)
    message(FATAL_ERROR "${instructions} instructions: more than ${LIMIT}")
endif()
