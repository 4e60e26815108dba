# What is installed, and cpack's packages of it (cmake/Package.cmake). Every
# time stamp, the manual page's date too, is SOURCE_DATE_EPOCH's, else the
# latest changelog entry's.
include(GNUInstallDirs)
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND dpkg-parsechangelog -l ${PROJECT_SOURCE_DIR}/packaging/changelog -S Timestamp
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
set(CPACK_SENDER_EPOCH $ENV{SOURCE_DATE_EPOCH})
string(TIMESTAMP SENDER_DATE "%Y-%m-%d" UTC)

install(TARGETS sender RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# NOTICES: the licences of the code that the static program carries (in the
# .deb, its copyright file); the zip keeps its documents at its top.
if(WIN32)
    install(FILES README.md LICENSE DESTINATION .)
    install(FILES packaging/NOTICES.windows DESTINATION . RENAME NOTICES.txt)
    set(CPACK_PACKAGING_INSTALL_PREFIX /)
else()
    # Compressed as Debian ships them: gzip -9n keeps no name or time stamp.
    configure_file(man/sender.1.in sender.1 @ONLY)
    configure_file(packaging/changelog changelog COPYONLY)
    add_custom_command(OUTPUT sender.1.gz changelog.gz
        COMMAND gzip -9nkf sender.1 changelog
        DEPENDS ${CMAKE_BINARY_DIR}/sender.1 ${CMAKE_BINARY_DIR}/changelog)
    add_custom_target(compressed_docs ALL DEPENDS sender.1.gz changelog.gz)
    install(FILES ${CMAKE_BINARY_DIR}/sender.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES README.md packaging/copyright ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
    install(FILES packaging/NOTICES.linux DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME NOTICES)
    # To lintian a static PIE is a shared object.
    set(SENDER_LINTIAN_STATIC_TAG statically-linked-binary)
    if(static_link MATCHES "static-pie")
        set(SENDER_LINTIAN_STATIC_TAG shared-library-lacks-prerequisites)
    endif()
    configure_file(packaging/lintian-overrides lintian-overrides @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
            RENAME sender)
    # The .deb's architecture, and in Built-Using the source of its libc6-dev.
    set(CPACK_SENDER_ARCH ${SENDER_DEBIAN_ARCH})
    if(NOT SENDER_DEBIAN_ARCH)
        execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE CPACK_SENDER_ARCH
                        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    execute_process(COMMAND dpkg-query [[--showformat=${source:Package} (= ${source:Version})]] --show
                            libc6-dev:${CPACK_SENDER_ARCH} OUTPUT_VARIABLE CPACK_SENDER_BUILT_USING ERROR_QUIET)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()

set(CPACK_GENERATOR External)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/Package.cmake)
set(CPACK_PACKAGE_FILE_NAME "sender-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
set(CPACK_SENDER_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_SENDER_EMULATED "${CMAKE_CROSSCOMPILING_EMULATOR}")
include(CPack)
