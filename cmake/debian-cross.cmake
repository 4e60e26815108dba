# Cross compiling with Debian's cross compilers for the Debian architecture
# SENDER_DEBIAN_ARCH (arm64, armhf, s390x, ...; package g++-<GNU type>), and
# running what is built under qemu-user, with the cross compiler's own
# libraries as the emulated programs' root.
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
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${GNU_CPU} -L /usr/${GNU_TYPE})

set(CMAKE_FIND_ROOT_PATH /usr/${GNU_TYPE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
