# Every program's hardening: Debian 12's hardening=+all (stack protector,
# fortify, relro, bindnow), and Debian 13's stack clash and control-flow
# protection where GCC has it; PIE from a static-pie link, where one links.
# Debian's static C library has no branch-target marks, so the program has
# none and nothing enforces ours. MinGW's stack protector is libssp, linked
# in by the flag.
add_library(sender_hardening INTERFACE)
if(MSVC)
    target_compile_options(sender_hardening INTERFACE /GS /guard:cf)
    target_link_options(sender_hardening INTERFACE /guard:cf /DYNAMICBASE /NXCOMPAT)
elseif(NOT SENDER_SANITIZE)
    target_compile_options(sender_hardening INTERFACE -fstack-protector-strong
        $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
    target_link_options(sender_hardening INTERFACE -fstack-protector-strong)
    if(NOT WIN32)
        target_compile_options(sender_hardening INTERFACE -fstack-clash-protection)
        if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86|x86)$")
            set(control_flow -fcf-protection)
        elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
            set(control_flow -mbranch-protection=standard)
        else()
            message(STATUS "Hardening: GCC has no control-flow protection here")
        endif()
        target_compile_options(sender_hardening INTERFACE ${control_flow})
        target_link_options(sender_hardening INTERFACE -Wl,-z,relro,-z,now)
    endif()
endif()
