# Run by cpack before each generator packs the staged files, and again after,
# before it copies the package out and writes its checksum.
#
# Before: every staged folder gets the install's folder mode (0755, as the
# folders of Debian's own packages have), whatever the umask under which
# cpack made it.
if(NOT DEFINED CPACK_PACKAGE_FILES)
    file(CHMOD_RECURSE ${CPACK_TEMPORARY_DIRECTORY} DIRECTORY_PERMISSIONS ${CPACK_SENDER_DIRECTORY_PERMISSIONS})
    return()
endif()

# The Debian package's ar members get the mode of a file made under the umask
# of whoever builds; dpkg-deb writes 0644 whatever the umask, and so does this.
if(CPACK_GENERATOR STREQUAL "DEB")
    file(SIZE ${CPACK_PACKAGE_FILES} size)
    set(header 8) # after "!<arch>\n"; each member: a 60-byte header, its data, a pad to even
    while(header LESS size)
        file(READ ${CPACK_PACKAGE_FILES} fields OFFSET ${header} LIMIT 60)
        string(SUBSTRING "${fields}" 48 10 length)
        string(STRIP "${length}" length)
        math(EXPR mode "${header} + 40")
        execute_process(COMMAND printf "100644  "
                        COMMAND dd of=${CPACK_PACKAGE_FILES} bs=1 seek=${mode} conv=notrunc status=none
                        COMMAND_ERROR_IS_FATAL ANY)
        math(EXPR header "${header} + 60 + ${length} + ${length} % 2")
    endwhile()
    return()
endif()

# CPack's own ZIP generator writes local time, and its TGZ and ZIP keep the
# order in which the file system lists the files and the uid and gid of
# whoever builds (CMake before 4.4). So the tar.gz and the zip are
# made again from the same staged tree by GNU tar and Info-ZIP's zip, told to
# sort, to name no owner and to take every time from SOURCE_DATE_EPOCH: the
# same source then gives the same bytes wherever and whenever it is built.
if(NOT CPACK_GENERATOR MATCHES "^(TGZ|ZIP)$")
    return()
elseif(NOT CMAKE_HOST_UNIX)
    message(STATUS "${CPACK_PACKAGE_FILES} is CPack's own: it is made reproducible on a Unix host only")
    return()
endif()
set(archive ${CPACK_PACKAGE_FILES})
set(epoch $ENV{SOURCE_DATE_EPOCH})
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
