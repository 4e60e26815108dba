# Building with Debian's <GNU type>-g++ for SENDER_DEBIAN_ARCH, in the
# release root; the tests run under qemu-user but on this machine's own.
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SENDER_DEBIAN_ARCH)
if(NOT SENDER_DEBIAN_ARCH)
    message(FATAL_ERROR "set SENDER_DEBIAN_ARCH to the Debian architecture to build for")
endif()
foreach(variable GNU_TYPE GNU_CPU MULTIARCH)
    execute_process(COMMAND dpkg-architecture -a ${SENDER_DEBIAN_ARCH} -qDEB_HOST_${variable}
                    OUTPUT_VARIABLE ${variable} OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
endforeach()

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${GNU_CPU})
set(CMAKE_C_COMPILER ${GNU_TYPE}-gcc)
set(CMAKE_CXX_COMPILER ${GNU_TYPE}-g++)
# The cross root's loader, with its own libc.so.6: the host's ld.so.cache
# would give it another build's, which hangs. qemu names i686 i386, powerpc ppc.
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE host OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT SENDER_DEBIAN_ARCH STREQUAL host)
    string(REGEX REPLACE "^i.86$" i386 qemu ${GNU_CPU})
    string(REPLACE powerpc ppc qemu ${qemu})
    set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${qemu} -L /usr/${GNU_TYPE} -E LD_LIBRARY_PATH=/usr/${GNU_TYPE}/lib)
endif()

# The static sender carries the target's libc6-dev, not the cross root's,
# which lags Debian's updates: its headers go before the cross root's in the
# compiler's own list (kept whole for libstdc++'s #include_next), its archives
# and start files into the static link. The tests use the cross root's, if any.
if(NOT EXISTS /usr/lib/${MULTIARCH}/libc.a)
    message(FATAL_ERROR "no libc6-dev:${SENDER_DEBIAN_ARCH} here: cross builds run in the release root \
(CONTRIBUTING.md)")
endif()
set(languages C CXX)
set(sources c c++)
foreach(language source IN ZIP_LISTS languages sources)
    execute_process(COMMAND ${CMAKE_${language}_COMPILER} -x ${source} -E -v /dev/null
                    OUTPUT_QUIET ERROR_VARIABLE search COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCH "<\\.\\.\\.> search starts here:\n(.*)\nEnd of search list" search "${search}")
    string(REGEX REPLACE "[ \n]+" ";" search "${CMAKE_MATCH_1}")
    set(folders "")
    foreach(folder IN LISTS search)
        cmake_path(NORMAL_PATH folder)
        string(REGEX REPLACE "(.)/$" "\\1" folder "${folder}")
        if(folder STREQUAL "/usr/${GNU_TYPE}/include")
            list(APPEND folders /usr/include/${MULTIARCH} /usr/include)
        endif()
        list(APPEND folders ${folder})
    endforeach()
    list(REMOVE_DUPLICATES folders)
    set(CMAKE_${language}_FLAGS_INIT -nostdinc)
    set(CMAKE_${language}_STANDARD_INCLUDE_DIRECTORIES ${folders})
endforeach()
set(SENDER_STATIC_LIBC -L/usr/lib/${MULTIARCH} -B/usr/lib/${MULTIARCH}/)

set(CMAKE_FIND_ROOT_PATH /usr/${GNU_TYPE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
