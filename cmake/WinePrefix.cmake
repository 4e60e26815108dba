# env WINEPREFIX=... WINEARCH=... cmake -DWINEBOOT=... -DWINESERVER=... -P WinePrefix.cmake
# Makes a fresh 32-bit Wine prefix, as the environment names it, and leaves a
# persistent wineserver on it.
# Their output goes to a log: Wine's background processes keep whatever they
# inherit open, and CTest would wait for that pipe to close.
set(PREFIX $ENV{WINEPREFIX})
if(NOT PREFIX)
    message(FATAL_ERROR "WINEPREFIX is not set")
endif()
file(REMOVE_RECURSE ${PREFIX})
file(REMOVE ${PREFIX}.log)
file(MAKE_DIRECTORY ${PREFIX})
execute_process(COMMAND ${WINESERVER} -p RESULT_VARIABLE failed OUTPUT_FILE ${PREFIX}.log ERROR_FILE ${PREFIX}.log)
if(failed)
    message(FATAL_ERROR "wineserver could not start on ${PREFIX}")
endif()
execute_process(COMMAND ${WINEBOOT} -i RESULT_VARIABLE failed OUTPUT_FILE ${PREFIX}.log ERROR_FILE ${PREFIX}.log)
if(failed)
    message(FATAL_ERROR "wineboot could not make the prefix ${PREFIX}")
endif()
