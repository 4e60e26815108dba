# sender_link_static(target), where SENDER_STATIC_LINK is on. Windows: the C++
# runtime inside the exe (/MT, -static): no redistributable. Elsewhere the
# first that links without a warning: a static PIE with packed relocations (a
# run costs 107,000 instructions with GCC 14's libgcc, plain -static 650,000),
# a static PIE, -static (no rcrt1.o), or dynamic (macOS).
if(SENDER_STATIC_LINK)
    set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
set(static_link "")
if(SENDER_STATIC_LINK AND WIN32 AND NOT MSVC)
    set(static_link -static)
elseif(SENDER_STATIC_LINK AND NOT WIN32)
    include(CheckCXXSourceCompiles)
    function(sender_links result)
        set(CMAKE_REQUIRED_FLAGS -fPIE)
        set(CMAKE_REQUIRED_LINK_OPTIONS ${ARGN} ${SENDER_STATIC_LIBC})
        set(CMAKE_REQUIRED_QUIET ON)
        # ld only warns, in English under LC_ALL=C, when it ignores an option.
        set(locale "$ENV{LC_ALL}")
        set(ENV{LC_ALL} C)
        check_cxx_source_compiles("#include <iostream>\nint main() { std::cout << 1; }" ${result}
                                  FAIL_REGEX "[Ww]arning|ignored")
        set(ENV{LC_ALL} "${locale}")
    endfunction()
    foreach(candidate "-static-pie;-Wl,-z,pack-relative-relocs" -static-pie -static)
        string(MAKE_C_IDENTIFIER "SENDER_LINKS${candidate}" result)
        sender_links(${result} ${candidate})
        if(${result})
            set(static_link ${candidate})
            break()
        endif()
    endforeach()
    if(static_link)
        string(JOIN " " shown ${static_link})
        message(STATUS "Link: ${shown}, the first that this toolchain takes")
    else()
        message(STATUS "Link: dynamic, as this toolchain links neither -static-pie nor -static")
    endif()
endif()

# SENDER_STATIC_LIBC: cmake/debian-cross.cmake's C library. The link map, for
# the notices check, by a relative path: Ninja rules mangle a '$' in others.
function(sender_link_static target)
    if(static_link)
        target_link_options(${target} PRIVATE ${static_link} ${SENDER_STATIC_LIBC}
                                              -Wl,-Map=$<TARGET_FILE_NAME:${target}>.map)
    endif()
endfunction()
