# The code hardening of Debian's dpkg-buildflags hardening=+all (stack protector,
# fortify, stack clash, x86 control-flow protection, relro, now; not its format
# warnings or arm64's branch protection), for every program; the sanitizer build
# keeps its own. MinGW's stack protector is libssp, which the flag links in.
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
            target_compile_options(sender_hardening INTERFACE -fcf-protection)
        endif()
        target_link_options(sender_hardening INTERFACE -Wl,-z,relro,-z,now)
    endif()
endif()
