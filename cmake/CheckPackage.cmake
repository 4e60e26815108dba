# cmake -DCPACK=... -DCONFIG=.../CPackConfig.cmake -DDIR=... -DDEB=name.deb -DLINTIAN=... -P CheckPackage.cmake
# Makes the Debian package of a build tree, as cpack does, and has lintian
# check it: no error and no warning, with its own overrides (each with its
# reason) applied. Lintian renders the manual page with man --warnings.
file(REMOVE_RECURSE ${DIR})
execute_process(COMMAND ${CPACK} -G DEB --config ${CONFIG} -B ${DIR}
                RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(failed OR NOT EXISTS ${DIR}/${DEB})
    message(FATAL_ERROR "cpack did not make ${DEB}:\n${out}")
endif()
execute_process(COMMAND ${LINTIAN} --fail-on error,warning --info ${DIR}/${DEB}
                RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "lintian found errors or warnings in ${DEB}")
endif()
