# Run by cpack once the files to pack are in its staging folder
# (CPACK_PRE_BUILD_SCRIPTS). The packages take each folder's mode from there,
# and the install made those folders with mkdir under the builder's umask
# (CMake's default folder permissions are only the mode mkdir is given, which
# the umask still masks): they all get 0755, as in any Debian package.
file(GLOB_RECURSE carpetas LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(carpeta IN LISTS carpetas)
  if(IS_DIRECTORY "${carpeta}")
    file(CHMOD "${carpeta}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
         GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()
