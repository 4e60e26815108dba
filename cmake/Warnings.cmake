# The warning flags the project's own code builds with, and the sanitizer build's.
add_library(sender_warnings INTERFACE)
target_compile_options(sender_warnings INTERFACE
    "$<IF:$<CXX_COMPILER_ID:MSVC>,/W4,-Wall;-Wextra;-Wpedantic;-Wshadow;-Wconversion>")

if(SENDER_SANITIZE)
    if(SENDER_STATIC_LINK)
        message(FATAL_ERROR "The sanitizers need a dynamic link: set SENDER_STATIC_LINK to OFF")
    endif()
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
