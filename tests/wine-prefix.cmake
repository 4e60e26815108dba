# cmake -DPREFIX=... "-DWINE=COMMAND;ARGS" -DPROGRAM=sender.exe -P wine-prefix.cmake
# Makes a fresh Wine prefix PREFIX (WINE runs Wine's programs), leaves a
# persistent wineserver on it, and runs PROGRAM with no input until quick.
# Output goes to a log, as Wine's background processes keep pipes open. Under
# qemu-i386 wineboot may wait for good on a crashed service: it gets 90 s.
foreach(try RANGE 1 2)
    execute_process(COMMAND ${WINE} wineserver -k OUTPUT_QUIET ERROR_QUIET)
    file(REMOVE_RECURSE ${PREFIX})
    file(MAKE_DIRECTORY ${PREFIX})
    execute_process(COMMAND ${WINE} wineserver -p OUTPUT_FILE ${PREFIX}.log ERROR_FILE ${PREFIX}.log)
    execute_process(COMMAND ${WINE} wineboot -i TIMEOUT 90 RESULT_VARIABLE failed
                    OUTPUT_FILE ${PREFIX}.log ERROR_FILE ${PREFIX}.log)
    if(NOT failed)
        break()
    endif()
endforeach()
if(failed)
    message(FATAL_ERROR "wineboot could not make the prefix ${PREFIX}: ${failed}")
endif()
# The first program using sockets starts Wine's services, in half a minute
# under qemu-i386 (a row allows 10 s), or crashes one, restarted by the next:
# runs of sender.exe (no input, no datagram) repeat until one is quick.
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
