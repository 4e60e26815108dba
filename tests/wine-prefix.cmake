# cmake -DPREFIX=... "-DWINE=COMMAND;ARGS" -DPROGRAM=sender.exe -P wine-prefix.cmake
# Makes a fresh Wine prefix PREFIX (WINE runs Wine's programs in it), leaves a
# persistent wineserver on it, and runs PROGRAM with no input until quick.
# Output goes to a log: Wine's background processes keep inherited pipes
# open, and CTest would wait on them. Under qemu-i386 wineboot may wait for
# good for a service that crashed (once in seven runs here): it gets 90 s,
# then a second try on a new server.
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
