# The code hardening that every program links: what dpkg-buildflags gives
# with hardening=+all on Debian 12 (stack protector, fortify, relro, bindnow),
# and stack clash and, on x86, control-flow protection, which Debian 13's adds;
# not its format warnings or arm64's branch protection. PIE, where the
# toolchain links one, comes from the static link. -fcf-protection marks our
# code's branch targets (endbr64), but Debian's static C library is not
# CET-marked, so the program lacks the IBT and SHSTK properties and the
# processor enforces neither. The sanitizer build keeps its own flags.
# MinGW's stack protector is libssp, which the flag links in.
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
