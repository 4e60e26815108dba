# sender_link_static(target), where SENDER_STATIC_LINK is on. Windows: the C++
# runtime inside the exe (MSVC's /MT, MinGW's -static), so that it needs no
# redistributable. Elsewhere the first that the toolchain links without a
# warning: a static PIE with packed relative relocations (randomised, and
# GCC 14's libgcc costs a plain -static link 650,000 instructions a run, this
# way 107,000); a static PIE; -static (no rcrt1.o, as Debian 12's armhf and
# s390x); or dynamic (macOS).
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
        set(CMAKE_REQUIRED_LINK_OPTIONS ${ARGN})
        set(CMAKE_REQUIRED_QUIET ON)
        # ld only warns where it ignores an option (-z pack-relative-relocs before binutils 2.41 on Arm).
        check_cxx_source_compiles("#include <iostream>\nint main() { std::cout << 1; }" ${result}
                                  FAIL_REGEX "[Ww]arning|ignored")
    endfunction()
    sender_links(SENDER_LINKS_PACKED_STATIC_PIE -static-pie -Wl,-z,pack-relative-relocs)
    sender_links(SENDER_LINKS_STATIC_PIE -static-pie)
    sender_links(SENDER_LINKS_STATIC -static)
    if(SENDER_LINKS_PACKED_STATIC_PIE)
        set(static_link -static-pie -Wl,-z,pack-relative-relocs)
    elseif(SENDER_LINKS_STATIC_PIE)
        set(static_link -static-pie)
    elseif(SENDER_LINKS_STATIC)
        set(static_link -static)
    endif()
    if(static_link)
        string(JOIN " " shown ${static_link})
        message(STATUS "Link: ${shown}, the first that this toolchain takes")
    else()
        message(STATUS "Link: dynamic, as this toolchain links neither -static-pie nor -static")
    endif()
endif()

# The link map beside the program shows which archive members went in: the
# release's licence check and build record read it.
function(sender_link_static target)
    if(static_link)
        target_link_options(${target} PRIVATE ${static_link} -Wl,-Map=$<TARGET_FILE:${target}>.map)
    endif()
endfunction()
