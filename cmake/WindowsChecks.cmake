# Registers the checks of a built sender.exe: that it is a 32-bit x86 console
# program whose imports are Windows' own DLLs only, so that it runs on a bare
# machine (MinGW's objdump reads it; an MSVC build has dumpbin instead), and
# that it carries the project's version strings and its manifest, and that
# it is hardened (cmake/CheckHardening.cmake; COMMANDS, where the generator
# writes them, are the compile commands of its build).
function(sender_check_exe executable commands)
    add_test(NAME windows.resources
        COMMAND ${CMAKE_COMMAND} -DEXECUTABLE=${executable} -DVERSION=${PROJECT_VERSION}
                -P ${PROJECT_SOURCE_DIR}/cmake/CheckResources.cmake)
    find_program(SENDER_OBJDUMP NAMES i686-w64-mingw32-objdump objdump dumpbin)
    if(NOT SENDER_OBJDUMP)
        message(WARNING "neither objdump nor dumpbin found: the import check of sender.exe is not registered")
        return()
    endif()
    add_test(NAME windows.imports
        COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${SENDER_OBJDUMP} -DEXECUTABLE=${executable}
                -P ${PROJECT_SOURCE_DIR}/cmake/CheckImports.cmake)
    add_test(NAME hardening.exe
        COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${SENDER_OBJDUMP} -DEXECUTABLE=${executable}
                -DCOMMANDS=${commands} -DSOURCES=${PROJECT_SOURCE_DIR}/src
                -P ${PROJECT_SOURCE_DIR}/cmake/CheckHardening.cmake)
endfunction()
