# cpack's External generator runs this on the staged install: each package by
# its format's tool, the same bytes whoever builds it, wherever, whenever.
set(epoch ${CPACK_SENDER_EPOCH})
set(stage ${CPACK_TEMPORARY_DIRECTORY})
set(name ${CPACK_PACKAGE_FILE_NAME})
set(top ${CPACK_TOPLEVEL_DIRECTORY})
set(folders OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
function(run)
    execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
endfunction()
file(CHMOD_RECURSE ${stage} DIRECTORY_PERMISSIONS ${folders})

if(NOT CPACK_SENDER_ARCH)
    run(find . -exec touch -h -d @${epoch} {} +)
    execute_process(COMMAND find ${name} -type f COMMAND env LC_ALL=C sort COMMAND env TZ=UTC0 zip -X -q -@ ${name}.zip
                    WORKING_DIRECTORY ${top} COMMAND_ERROR_IS_FATAL ANY)
    set(CPACK_EXTERNAL_BUILT_PACKAGES ${top}/${name}.zip)
    return()
endif()

# The copyright file's {soft-fp:...} parts stay where the link took soft-fp code.
file(STRINGS ${CPACK_PACKAGE_DIRECTORY}/sender.map soft_fp REGEX "libgcc\\.a\\([^)]*(tf|kf|float128)" LIMIT_COUNT 1)
if(soft_fp)
    set(soft_fp "\\1")
endif()
set(copyright ${stage}/usr/share/doc/sender/copyright)
file(READ ${copyright} text)
string(REGEX REPLACE "{soft-fp:([^}]*)}" "${soft_fp}" text "${text}")
file(WRITE ${copyright} "${text}")

# The .tar.gz where the program ran here, not under an emulator.
if(NOT CPACK_SENDER_EMULATED)
    run(tar --sort=name --mtime=@${epoch} --owner=0 --group=0 --numeric-owner --mode=u+rw,go=rX --format=gnu
            --transform=s,^usr,${name}, -cf - usr COMMAND gzip -9n OUTPUT_FILE ${top}/${name}.tar.gz)
    list(APPEND CPACK_EXTERNAL_BUILT_PACKAGES ${top}/${name}.tar.gz)
endif()

# The .deb's copyright file holds NOTICES' texts; md5sums as debhelper makes
# them.
set(deb ${top}/sender_${CPACK_PACKAGE_VERSION}_${CPACK_SENDER_ARCH}.deb)
file(REMOVE ${stage}/usr/share/doc/sender/NOTICES)
file(MAKE_DIRECTORY ${stage}/DEBIAN)
set(packaging ${CPACK_SENDER_SOURCE_DIR}/packaging)
run(env DEB_HOST_ARCH=${CPACK_SENDER_ARCH} dpkg-gencontrol -c${packaging}/control -l${packaging}/changelog
        -f${top}/files -T${top}/substvars -P. "-DBuilt-Using=${CPACK_SENDER_BUILT_USING}")
run(find usr -type f COMMAND env LC_ALL=C sort COMMAND xargs md5sum OUTPUT_FILE DEBIAN/md5sums)
file(CHMOD ${stage}/DEBIAN DIRECTORY_PERMISSIONS ${folders})
file(CHMOD ${stage}/DEBIAN/control ${stage}/DEBIAN/md5sums PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
run(find . -exec touch -h -d @${epoch} {} +)
run(env SOURCE_DATE_EPOCH=${epoch} dpkg-deb --root-owner-group --build . ${deb} OUTPUT_QUIET)
list(APPEND CPACK_EXTERNAL_BUILT_PACKAGES ${deb})
