# Run by cpack before each generator packs the staged files and again after,
# so that the same source gives the same package whoever builds it, wherever,
# whenever, on any file system.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
    set(epoch ${CPACK_SENDER_EPOCH})
endif()

# Before: every staged folder gets 0755 whatever the umask, and the program
# loses the compilers' .comment and .note sections, as dh_strip does.
if(NOT DEFINED CPACK_PACKAGE_FILES)
    file(CHMOD_RECURSE ${CPACK_TEMPORARY_DIRECTORY} DIRECTORY_PERMISSIONS ${CPACK_SENDER_DIRECTORY_PERMISSIONS})
    file(GLOB programs ${CPACK_TEMPORARY_DIRECTORY}/bin/sender ${CPACK_TEMPORARY_DIRECTORY}/usr/bin/sender)
    foreach(program IN LISTS programs)
        execute_process(COMMAND ${CPACK_SENDER_STRIP} --remove-section=.comment --remove-section=.note ${program}
                        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    return()
endif()

# After, the Debian package, made again by dpkg's tools from the staged files:
# dpkg-gencontrol counts Installed-Size by file sizes (CPack's count followed
# the file system's blocks), and Built-Using names the source package of the
# libc.a that the link map shows inside the program.
if(CPACK_GENERATOR STREQUAL "DEB")
    set(root ${CPACK_TOPLEVEL_DIRECTORY}/debian-root)
    file(REMOVE_RECURSE ${root})
    file(COPY ${CPACK_TEMPORARY_DIRECTORY}/usr DESTINATION ${root})
    # On Debian the copyright file and /usr/share/common-licenses hold the notices.
    file(REMOVE ${root}/usr/share/doc/sender/NOTICES)
    file(MAKE_DIRECTORY ${root}/DEBIAN)

    file(STRINGS ${CPACK_SENDER_BINARY_DIR}/sender.map libc REGEX "/libc\\.a\\(" LIMIT_COUNT 1)
    string(REGEX MATCH "/[^ \t(]*/libc\\.a" libc "${libc}")
    if(NOT libc)
        message(FATAL_ERROR "${CPACK_SENDER_BINARY_DIR}/sender.map shows no libc.a: the program is not static")
    endif()
    file(REAL_PATH ${libc} libc)
    execute_process(COMMAND dpkg-query -S ${libc} OUTPUT_VARIABLE owner COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX REPLACE ":[^:]*$" "" owner "${owner}")
    execute_process(COMMAND dpkg-query -W [[-f=${source:Package} (= ${source:Version})]] ${owner}
                    OUTPUT_VARIABLE built_using COMMAND_ERROR_IS_FATAL ANY)

    execute_process(COMMAND env DEB_HOST_ARCH=${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}
                        dpkg-gencontrol -c${CPACK_SENDER_SOURCE_DIR}/packaging/control
                        -l${CPACK_SENDER_SOURCE_DIR}/packaging/changelog -f${CPACK_TOPLEVEL_DIRECTORY}/debian-files
                        -T${CPACK_TOPLEVEL_DIRECTORY}/debian-substvars -P${root} "-DBuilt-Using=${built_using}"
                    COMMAND_ERROR_IS_FATAL ANY)
    # After the count, as debhelper makes it.
    execute_process(COMMAND find usr -type f COMMAND env LC_ALL=C sort COMMAND xargs md5sum
                    WORKING_DIRECTORY ${root} OUTPUT_FILE ${root}/DEBIAN/md5sums COMMAND_ERROR_IS_FATAL ANY)
    file(CHMOD_RECURSE ${root} DIRECTORY_PERMISSIONS ${CPACK_SENDER_DIRECTORY_PERMISSIONS})
    file(CHMOD ${root}/DEBIAN/control ${root}/DEBIAN/md5sums PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    execute_process(COMMAND find ${root} -exec touch -h -d @${epoch} {} + COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE ${CPACK_PACKAGE_FILES})
    execute_process(COMMAND env SOURCE_DATE_EPOCH=${epoch} dpkg-deb --root-owner-group --build ${root} ${CPACK_PACKAGE_FILES}
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    return()
endif()

# CPack's ZIP writes local time, and its TGZ and ZIP keep the file system's
# order and the builder's uid and gid: GNU tar and zip make them again,
# sorted, with no owner and every time the epoch above.
if(NOT CPACK_GENERATOR MATCHES "^(TGZ|ZIP)$")
    return()
elseif(NOT CMAKE_HOST_UNIX)
    message(STATUS "${CPACK_PACKAGE_FILES} is CPack's own: it is made reproducible on a Unix host only")
    return()
endif()
set(archive ${CPACK_PACKAGE_FILES})
get_filename_component(name ${CPACK_TEMPORARY_DIRECTORY} NAME)
file(REMOVE ${archive})
if(CPACK_GENERATOR STREQUAL "ZIP")
    execute_process(COMMAND find ${name} -exec touch -h -d @${epoch} {} +
                    WORKING_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND find ${name} -type f
                    COMMAND env LC_ALL=C sort
                    COMMAND env TZ=UTC0 zip -X -q -@ ${archive}
                    WORKING_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
else()
    execute_process(COMMAND tar --sort=name --mtime=@${epoch} --owner=0 --group=0 --numeric-owner
                            --mode=u+rw,go=rX --format=gnu -cf - ${name}
                    COMMAND gzip -9n
                    OUTPUT_FILE ${archive}
                    WORKING_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
endif()
