# What is installed, and the packages that cpack makes of it: on Linux a .deb
# and a .tar.gz, on Windows a zip. Every time stamp is SOURCE_DATE_EPOCH, or
# else the newest changelog entry's, as dpkg takes it.
include(GNUInstallDirs)
file(STRINGS packaging/changelog signature REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX REPLACE ".*>  " "" changed "${signature}")
if(CMAKE_HOST_UNIX)
    execute_process(COMMAND date -u -d "${changed}" "+%s;%F" OUTPUT_VARIABLE changed
                    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    list(GET changed 0 SENDER_EPOCH)
    list(GET changed 1 SENDER_DATE) # the manual page's date
endif()

# Folders as Debian makes them (mkdir still applies the umask: the staged
# folders are set again in cmake/PackageScripts.cmake).
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS sender RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The zip keeps its documents at its top. NOTICES holds the licences of the
# code that the static program carries (the .deb's copyright file has them).
if(WIN32)
    install(FILES README.md LICENSE DESTINATION .)
    install(FILES packaging/NOTICES.windows DESTINATION . RENAME NOTICES.txt)
    set(CPACK_GENERATOR ZIP)
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
    install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
            RENAME sender)
    set(CPACK_GENERATOR TGZ DEB)
endif()

set(CPACK_PACKAGE_FILE_NAME "sender-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
# The exe is stripped by its own link (-s): MinGW's strip would stamp the
# PE header with the time of packing.
if(NOT WIN32)
    set(CPACK_STRIP_FILES ON)
endif()
# sender_<version>_<architecture>.deb, installed in /usr, with the fields of
# packaging/control; a cross build names the architecture, otherwise dpkg.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${SENDER_DEBIAN_ARCH})
if(NOT SENDER_DEBIAN_ARCH AND NOT WIN32)
    execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
file(STRINGS packaging/control CPACK_PACKAGE_CONTACT REGEX "^Maintainer: ")
string(REPLACE "Maintainer: " "" CPACK_PACKAGE_CONTACT "${CPACK_PACKAGE_CONTACT}")
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageScripts.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageScripts.cmake)
set(CPACK_SENDER_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_SENDER_BINARY_DIR ${CMAKE_BINARY_DIR})
set(CPACK_SENDER_EPOCH ${SENDER_EPOCH})
set(CPACK_SENDER_STRIP ${CMAKE_STRIP})
set(CPACK_SENDER_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
include(CPack)
