# Debian's own hardening flags (dpkg-buildflags, hardening=+all), for every
# program; the sanitizer build keeps its own. MinGW's stack protector lives in
# libssp, which the link must name too.
add_library(sender_hardening INTERFACE)
if(MSVC)
    target_compile_options(sender_hardening INTERFACE /GS /guard:cf)
    target_link_options(sender_hardening INTERFACE /guard:cf /DYNAMICBASE /NXCOMPAT)
elseif(NOT SENDER_SANITIZE)
    target_compile_options(sender_hardening INTERFACE -fstack-protector-strong
        $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
    target_link_options(sender_hardening INTERFACE -fstack-protector-strong)
    if(NOT WIN32)
        target_compile_options(sender_hardening INTERFACE -fstack-clash-protection
            $<$<BOOL:${SENDER_X86}>:-fcf-protection>)
        target_link_options(sender_hardening INTERFACE -Wl,-z,relro,-z,now)
    endif()
endif()
