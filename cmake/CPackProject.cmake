# Read by cpack before each generator. Every time stamp in the packages comes
# from SOURCE_DATE_EPOCH, as in Debian's reproducible builds. Where the
# environment gives none, it is the last commit's time; in a source tree
# without git, the date of the newest changelog entry, as dpkg takes it.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    # "-- ." : only this tree's own history, not that of a repository around it.
    execute_process(COMMAND git -C ${CPACK_SENDER_SOURCE_DIR} log -1 --format=%ct -- .
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT epoch MATCHES "^[0-9]+$")
        file(STRINGS ${CPACK_SENDER_SOURCE_DIR}/packaging/changelog signature REGEX "^ -- " LIMIT_COUNT 1)
        string(REGEX REPLACE ".*>  " "" date "${signature}")
        execute_process(COMMAND date -d "${date}" +%s OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE)
    endif()
    if(epoch MATCHES "^[0-9]+$")
        set(ENV{SOURCE_DATE_EPOCH} ${epoch})
    endif()
endif()
