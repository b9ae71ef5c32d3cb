# endurecer(<target>...): builds the given targets on Linux with the hardening
# Debian's dpkg-buildflags gives its packages, so that every build of the
# program, packaged or not, is the one that ships. Elsewhere (the Windows
# build) it does nothing.
include_guard(GLOBAL)
include(CheckCXXCompilerFlag)
include(CheckPIESupported)

if(LINUX)
  check_pie_supported(LANGUAGES CXX)
  set(_endurecer_opciones "")
  # -fcf-protection exists on x86 only, and older compilers lack the rest.
  # Without -fno-semantic-interposition the static libraries, compiled as
  # position-independent code, would call their own functions through the
  # PLT and not inline them (the cipher ran 8 % slower): they only ever go
  # into executables, where nothing can interpose on those functions.
  foreach(opcion -fstack-protector-strong -fstack-clash-protection -fcf-protection
                 -fno-semantic-interposition)
    string(MAKE_C_IDENTIFIER "CIFRADOR_ADMITE${opcion}" admite)
    check_cxx_compiler_flag(${opcion} ${admite})
    if(${admite})
      list(APPEND _endurecer_opciones ${opcion})
    endif()
  endforeach()
endif()

function(endurecer)
  if(NOT LINUX)
    return()
  endif()
  foreach(objetivo IN LISTS ARGN)
    set_target_properties(${objetivo} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_compile_options(${objetivo} PRIVATE ${_endurecer_opciones})
    # The fortified C library needs the optimiser to see buffer sizes, and its
    # checked calls would go around the sanitizers' interceptors.
    if(NOT CIFRADOR_SANITIZAR AND NOT CIFRADOR_FUZZ)
      target_compile_definitions(${objetivo} PRIVATE
        $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
    endif()
    get_target_property(tipo ${objetivo} TYPE)
    if(tipo STREQUAL "EXECUTABLE")
      target_link_options(${objetivo} PRIVATE LINKER:-z,relro LINKER:-z,now)
    endif()
  endforeach()
endfunction()
