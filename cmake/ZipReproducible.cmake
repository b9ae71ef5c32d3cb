# Run by cpack after it makes a package (CPACK_POST_BUILD_SCRIPTS): each ZIP
# is written again by zip_reproducible.py, stamped with SOURCE_DATE_EPOCH,
# which the project's cpack configuration always sets (Reproducible.cmake).
foreach(paquete IN LISTS CPACK_PACKAGE_FILES)
  if(paquete MATCHES "\\.zip$")
    execute_process(COMMAND ${CPACK_REPRODUCIBLE_PYTHON} ${CPACK_REPRODUCIBLE_ZIP} ${paquete} $ENV{SOURCE_DATE_EPOCH}
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
