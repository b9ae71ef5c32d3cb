# cmake -DCABECERA=<text> -DCOPYRIGHT=<Debian copyright file> -DSALIDA=<file> -P Terceros.cmake
# Writes the notices of what MinGW-w64 links into cifrador.exe: CABECERA,
# then each paragraph of MinGW-w64's machine-readable copyright file that
# covers one of those parts (and the licence text one of them refers to), as
# the toolchain's own package gives them. A paragraph that is not there stops
# the build: the notices never go out incomplete.
set(parrafos
    "Files: *"
    "Files: mingw-w64-crt/gdtoa/*"
    "Files: mingw-w64-libraries/winpthreads/*"
    "Files: mingw-w64-libraries/winpthreads/include/pthread.h"
    "License: expat")
file(READ ${CABECERA} avisos)
file(READ ${COPYRIGHT} copyright)
foreach(inicio IN LISTS parrafos)
  string(FIND "${copyright}" "\n\n${inicio}\n" posicion)
  if(posicion EQUAL -1)
    message(FATAL_ERROR "${COPYRIGHT} no tiene el párrafo «${inicio}»")
  endif()
  math(EXPR posicion "${posicion} + 2")
  string(SUBSTRING "${copyright}" ${posicion} -1 resto)
  string(FIND "${resto}" "\n\n" fin)
  string(SUBSTRING "${resto}" 0 ${fin} parrafo)
  string(APPEND avisos "\n${parrafo}\n")
endforeach()
file(WRITE ${SALIDA} "${avisos}")
