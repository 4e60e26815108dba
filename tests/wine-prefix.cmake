# cmake -DPREFIX=... "-DWINE=COMMAND;ARGS" -DPROGRAM=sender.exe -P wine-prefix.cmake
# Makes a fresh Wine prefix PREFIX (WINE runs Wine's programs in it), leaves a
# persistent wineserver on it, and runs PROGRAM with no input until quick.
# Output goes to a log: Wine's background processes keep inherited pipes
# open, and CTest would wait on them.
file(REMOVE_RECURSE ${PREFIX})
file(REMOVE ${PREFIX}.log)
file(MAKE_DIRECTORY ${PREFIX})
execute_process(COMMAND ${WINE} wineserver -p RESULT_VARIABLE failed OUTPUT_FILE ${PREFIX}.log ERROR_FILE ${PREFIX}.log)
if(failed)
    message(FATAL_ERROR "wineserver could not start on ${PREFIX}")
endif()
execute_process(COMMAND ${WINE} wineboot -i RESULT_VARIABLE failed OUTPUT_FILE ${PREFIX}.log ERROR_FILE ${PREFIX}.log)
if(failed)
    message(FATAL_ERROR "wineboot could not make the prefix ${PREFIX}")
endif()
# The first program using sockets starts Wine's services, which then stay:
# seconds natively, half a minute under qemu-i386, too long for a row's 10 s
# deadlines; sender.exe with no input sends nothing. Under qemu-i386 a service
# may crash starting and restart with the next program, so runs repeat until
# one takes under 5 s, half a deadline.
foreach(attempt RANGE 1 4)
    string(TIMESTAMP started "%s")
    execute_process(COMMAND ${WINE} wine ${PROGRAM} INPUT_FILE /dev/null RESULT_VARIABLE failed
                    OUTPUT_FILE ${PREFIX}.first-run.log ERROR_FILE ${PREFIX}.first-run.log)
    if(failed)
        message(FATAL_ERROR "the first run in ${PREFIX} failed: ${PROGRAM}")
    endif()
    string(TIMESTAMP ended "%s")
    math(EXPR took "${ended} - ${started}")
    message(STATUS "run ${attempt} of sender.exe with no input: ${took} s")
    if(took LESS 5)
        return()
    endif()
endforeach()
message(FATAL_ERROR "sender.exe with no input still takes ${took} s in ${PREFIX}, where its rows allow 10")
