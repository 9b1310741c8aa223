# The help contexts of help/contextos.tsv (context, page, alias in ZARE.CHM, tab-separated; "#"
# starts a comment). One table that both the Linux help window and ZARE.CHM are built from.

# Reads the file into three lists of the same length; a malformed line or a page that help/
# lacks stops the configuration.
function(lee_contextos_ayuda archivo var_contextos var_paginas var_alias)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${archivo})
  get_filename_component(carpeta ${archivo} DIRECTORY)
  file(STRINGS ${archivo} lineas ENCODING UTF-8)
  set(contextos)
  set(paginas)
  set(alias)
  foreach(linea IN LISTS lineas)
    if(linea MATCHES "^[ \t]*(#|$)")
      continue()
    endif()
    if(NOT linea MATCHES "^([0-9]+)\t([A-Za-z0-9_.-]+\\.html)\t([A-Za-z_][A-Za-z0-9_]*)$")
      message(FATAL_ERROR "${archivo}: malformed line \"${linea}\" (context, page, alias, tab-separated)")
    endif()
    if(NOT EXISTS ${carpeta}/${CMAKE_MATCH_2})
      message(FATAL_ERROR "${archivo}: context ${CMAKE_MATCH_1} names ${CMAKE_MATCH_2}, which help/ lacks")
    endif()
    if(CMAKE_MATCH_1 IN_LIST contextos)
      message(FATAL_ERROR "${archivo}: context ${CMAKE_MATCH_1} appears twice")
    endif()
    list(APPEND contextos ${CMAKE_MATCH_1})
    list(APPEND paginas ${CMAKE_MATCH_2})
    list(APPEND alias ${CMAKE_MATCH_3})
  endforeach()
  if(NOT "0" IN_LIST contextos)
    message(FATAL_ERROR "${archivo}: context 0 (the table of contents) is missing")
  endif()
  set(${var_contextos} ${contextos} PARENT_SCOPE)
  set(${var_paginas} ${paginas} PARENT_SCOPE)
  set(${var_alias} ${alias} PARENT_SCOPE)
endfunction()

# A C++ header with the table, for the Linux help window: ui::kPaginasDeContexto.
function(genera_cabecera_contextos_ayuda archivo salida)
  lee_contextos_ayuda(${archivo} contextos paginas alias)
  set(filas "")
  foreach(contexto pagina IN ZIP_LISTS contextos paginas)
    string(APPEND filas "    {${contexto}, \"${pagina}\"},\n")
  endforeach()
  file(CONFIGURE OUTPUT ${salida} @ONLY CONTENT
"// Made by the build from help/contextos.tsv: the page each help context opens.
#pragma once

namespace ui {

struct PaginaDeContexto {
    int contexto;
    const char* pagina;
};

inline constexpr PaginaDeContexto kPaginasDeContexto[] = {
@filas@};

}  // namespace ui
")
endfunction()
