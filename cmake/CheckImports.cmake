# cmake -DOBJDUMP=... -DEXECUTABLE=... -P CheckImports.cmake
# OBJDUMP is MinGW's objdump or MSVC's dumpbin.
# The tools' words are matched below, so they must not be translated.
set(ENV{LC_ALL} C)
get_filename_component(tool ${OBJDUMP} NAME_WE)
string(TOLOWER "${tool}" tool)
if(tool STREQUAL "dumpbin")
    execute_process(COMMAND ${OBJDUMP} /nologo /headers /dependents ${EXECUTABLE}
        OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
    set(x86 "14C machine \\(x86\\)")
    set(console "3 subsystem \\(Windows CUI\\)")
    string(REGEX MATCH "following dependencies:[\r\n]+(([ \t]+[^ \t\r\n]+[\r\n]+)+)" dependencies "${dump}")
    string(REGEX MATCHALL "[^ \t\r\n]+" imports "${CMAKE_MATCH_1}")
else()
    execute_process(COMMAND ${OBJDUMP} -p ${EXECUTABLE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
    set(x86 "file format pei-i386")
    set(console "Subsystem[ \t]+0+3[ \t]+\\(Windows CUI\\)")
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
    list(TRANSFORM lines REPLACE "DLL Name: " "" OUTPUT_VARIABLE imports)
endif()
if(failed)
    message(FATAL_ERROR "${OBJDUMP} could not read ${EXECUTABLE}")
endif()

if(NOT dump MATCHES "${x86}")
    message(FATAL_ERROR "${EXECUTABLE} is not a PE32 program for Intel 80386")
endif()
if(NOT dump MATCHES "${console}")
    message(FATAL_ERROR "${EXECUTABLE} is not a console program")
endif()
message(STATUS "${EXECUTABLE} imports: ${imports}")

list(TRANSFORM imports TOLOWER OUTPUT_VARIABLE lower_imports)
list(FIND lower_imports "ws2_32.dll" ws2)
if(ws2 EQUAL -1)
    message(FATAL_ERROR "${EXECUTABLE} does not import WS2_32.dll")
endif()
# advapi32: MinGW's static libssp seeds the stack protector's guard with
# CryptGenRandom from it.
foreach(dll IN LISTS lower_imports)
    if(NOT dll MATCHES "^(kernel32|ws2_32|msvcrt|advapi32|api-ms-win-crt-[a-z0-9-]+)\\.dll$")
        message(FATAL_ERROR "${EXECUTABLE} imports ${dll}, which a bare Windows machine does not have")
    endif()
endforeach()
