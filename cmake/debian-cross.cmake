# Cross compiling with Debian's g++-<GNU type> for the Debian architecture
# SENDER_DEBIAN_ARCH (arm64, armhf, s390x, ...), and running what is built
# under qemu-user, with the cross root's libraries.
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SENDER_DEBIAN_ARCH)
if(NOT SENDER_DEBIAN_ARCH)
    message(FATAL_ERROR "set SENDER_DEBIAN_ARCH to the Debian architecture to build for")
endif()
foreach(variable GNU_TYPE GNU_CPU)
    execute_process(COMMAND dpkg-architecture -a ${SENDER_DEBIAN_ARCH} -qDEB_HOST_${variable}
                    OUTPUT_VARIABLE ${variable} OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
endforeach()

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${GNU_CPU})
set(CMAKE_C_COMPILER ${GNU_TYPE}-gcc)
set(CMAKE_CXX_COMPILER ${GNU_TYPE}-g++)
# LD_LIBRARY_PATH: the loader is the cross root's, and without it the host's
# ld.so.cache would give it the target's own libc.so.6 (libc6:<arch>) where
# that is installed, another build than the loader's, which hangs.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${GNU_CPU} -L /usr/${GNU_TYPE} -E LD_LIBRARY_PATH=/usr/${GNU_TYPE}/lib)

# The C library is the target's own (libc6-dev:<arch>) where it is installed,
# as the cross root's lags behind Debian's stable updates and the static
# sender carries it. Its headers replace the cross root's in the compiler's
# own list (in place: libstdc++'s #include_next needs that order), and its
# folder comes first for libraries and start files. libstdc++ and libgcc stay
# the cross compiler's.
if(EXISTS /usr/lib/${GNU_TYPE}/libc.a)
    set(languages C CXX)
    set(sources c c++)
    foreach(language source IN ZIP_LISTS languages sources)
        execute_process(COMMAND ${CMAKE_${language}_COMPILER} -x ${source} -E -v /dev/null
                        OUTPUT_QUIET ERROR_VARIABLE search COMMAND_ERROR_IS_FATAL ANY)
        string(REGEX MATCH "<\\.\\.\\.> search starts here:\n(.*)\nEnd of search list" search "${search}")
        string(REGEX REPLACE "[ \n]+" ";" search "${CMAKE_MATCH_1}")
        set(flags -nostdinc)
        foreach(folder IN LISTS search)
            cmake_path(NORMAL_PATH folder)
            string(REGEX REPLACE "(.)/$" "\\1" folder "${folder}")
            if(folder AND NOT folder MATCHES "^/usr/(${GNU_TYPE}/include|include/${GNU_TYPE}|include)$")
                list(APPEND flags -isystem ${folder})
            endif()
        endforeach()
        list(APPEND flags -isystem /usr/include/${GNU_TYPE} -isystem /usr/include)
        list(JOIN flags " " CMAKE_${language}_FLAGS_INIT)
    endforeach()
    foreach(kind EXE SHARED MODULE)
        set(CMAKE_${kind}_LINKER_FLAGS_INIT "-L/usr/lib/${GNU_TYPE} -B/usr/lib/${GNU_TYPE}/")
    endforeach()
    set(libc /usr/lib/${GNU_TYPE})
    set(package libc6-dev:${SENDER_DEBIAN_ARCH})
    set(why "")
else()
    set(libc "the cross root /usr/${GNU_TYPE}")
    set(package libc6-dev-${SENDER_DEBIAN_ARCH}-cross)
    set(why ": libc6-dev:${SENDER_DEBIAN_ARCH} is not installed")
endif()
# Once a configure: the file is read again at each project() and try_compile.
get_property(shown GLOBAL PROPERTY SENDER_C_LIBRARY_SHOWN)
if(NOT shown AND NOT CMAKE_IN_TRY_COMPILE)
    execute_process(COMMAND dpkg-query -W -f=\${Version} ${package} OUTPUT_VARIABLE version ERROR_QUIET)
    message(STATUS "C library: ${libc} (${package} ${version})${why}")
    # The flags above only start a cache: a tree configured before, or flags given with -D, lack them.
    if(CMAKE_CXX_FLAGS_INIT AND DEFINED CACHE{CMAKE_CXX_FLAGS} AND NOT "$CACHE{CMAKE_CXX_FLAGS}" MATCHES "-nostdinc")
        message(WARNING "CMAKE_CXX_FLAGS is cached without this C library's flags: configure afresh (cmake --fresh)")
    endif()
    set_property(GLOBAL PROPERTY SENDER_C_LIBRARY_SHOWN TRUE)
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${GNU_TYPE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
