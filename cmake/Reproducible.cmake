# Packages that one commit makes byte for byte the same whoever builds them,
# wherever and whenever (the .deb of cpack -G DEB, the ZIP of cpack -G ZIP),
# so that anyone can check a download by building it again.
include_guard(GLOBAL)

# No build path in what is compiled (debug information, __FILE__). With the
# build folder inside the sources, its own mapping, given last, is the one
# the compiler tries first.
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>
                    $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}=.>)
# The PE header of an executable holds the link time unless told otherwise.
if(MINGW)
  add_link_options(LINKER:--no-insert-timestamp)
endif()

# fecha_changelog(<changelog> <variable>): the time of a Debian changelog's
# top entry in seconds since 1970, which dpkg-parsechangelog calls Timestamp
# and Debian's tools take for SOURCE_DATE_EPOCH when none is set.
function(fecha_changelog changelog variable)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog})
  file(STRINGS ${changelog} firma REGEX "^ -- " LIMIT_COUNT 1)
  set(meses Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  if(NOT firma MATCHES "  [A-Z][a-z][a-z], ([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+) ([0-9]+):([0-9]+):([0-9]+) ([+-])([0-9][0-9])([0-9][0-9])$")
    message(FATAL_ERROR "${changelog}: la primera entrada no tiene una fecha de la forma «Wed, 09 Dec 2026 01:00:00 +0000»")
  endif()
  set(dia ${CMAKE_MATCH_1})
  list(FIND meses ${CMAKE_MATCH_2} mes)
  set(anio ${CMAKE_MATCH_3})
  math(EXPR hora "${CMAKE_MATCH_4} * 3600 + ${CMAKE_MATCH_5} * 60 + ${CMAKE_MATCH_6} - (${CMAKE_MATCH_7}1) * (${CMAKE_MATCH_8} * 3600 + ${CMAKE_MATCH_9} * 60)")
  # Days since 1970-01-01 in a calendar whose years start in March, so that
  # the leap day comes last (H. Hinnant's days_from_civil).
  if(mes LESS 2)
    math(EXPR anio "${anio} - 1")
  endif()
  math(EXPR dia_del_anio "(153 * ((${mes} + 10) % 12) + 2) / 5 + ${dia} - 1")
  math(EXPR dias "${anio} * 365 + ${anio} / 4 - ${anio} / 100 + ${anio} / 400 + ${dia_del_anio} - 719468")
  math(EXPR segundos "${dias} * 86400 + ${hora}")
  set(${variable} ${segundos} PARENT_SCOPE)
endfunction()

# paquetes_reproducibles(<changelog>): cpack stamps every member of its
# archives (and the gzip and ar headers of the .deb) with SOURCE_DATE_EPOCH;
# when the environment sets none, it gets the changelog's time. What it still
# takes from the builder is mended before it packs (the folders' modes,
# CarpetasReproducibles.cmake) and once the package is made
# (paquete_reproducible.py). Installed files and programs have fixed modes.
function(paquetes_reproducibles changelog)
  fecha_changelog(${changelog} fecha)
  set(configuracion ${PROJECT_BINARY_DIR}/CPackReproducible.cmake)
  file(CONFIGURE OUTPUT ${configuracion} @ONLY CONTENT [[
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} @fecha@)
endif()
]])
  set(CPACK_PROJECT_CONFIG_FILE ${configuracion} PARENT_SCOPE)
  find_program(PYTHON3 python3 REQUIRED)
  set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/CarpetasReproducibles.cmake PARENT_SCOPE)
  set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/PaqueteReproducible.cmake PARENT_SCOPE)
  set(CPACK_REPRODUCIBLE_PYTHON ${PYTHON3} PARENT_SCOPE)
  set(CPACK_REPRODUCIBLE_SCRIPT ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/paquete_reproducible.py PARENT_SCOPE)
endfunction()
