# Run by cpack after it makes its packages (CPACK_POST_BUILD_SCRIPTS): each
# goes through paquete_reproducible.py, with the SOURCE_DATE_EPOCH that the
# project's cpack configuration always sets (Reproducible.cmake).
foreach(paquete IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND ${CPACK_REPRODUCIBLE_PYTHON} ${CPACK_REPRODUCIBLE_SCRIPT} ${paquete} $ENV{SOURCE_DATE_EPOCH}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
