# Turns data/cp1252-bestfit.tsv (code unit, byte, kind per line) into a C++ list of pairs that
# cp1252.cpp expands into its lookup table. Run as: cmake -DENTRADA=tsv -DSALIDA=inc -P this.
if(NOT ENTRADA OR NOT SALIDA)
  message(FATAL_ERROR "genera_cp1252: ENTRADA and SALIDA are required")
endif()

file(STRINGS "${ENTRADA}" lineas)
set(cuerpo "")
set(cuenta 0)
foreach(linea IN LISTS lineas)
  if(linea MATCHES "^#" OR linea STREQUAL "")
    continue()
  endif()
  if(NOT linea MATCHES "^([0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f])\t([0-9A-Fa-f][0-9A-Fa-f])\t(exact|bestfit)$")
    message(FATAL_ERROR "genera_cp1252: malformed line in ${ENTRADA}: '${linea}'")
  endif()
  string(APPEND cuerpo "    {0x${CMAKE_MATCH_1}, 0x${CMAKE_MATCH_2}},\n")
  math(EXPR cuenta "${cuenta} + 1")
endforeach()
if(cuenta EQUAL 0)
  message(FATAL_ERROR "genera_cp1252: no entries in ${ENTRADA}")
endif()

file(WRITE "${SALIDA}.tmp"
  "// Generated from data/cp1252-bestfit.tsv by src/csv/genera_cp1252.cmake; do not edit.\n"
  "// ${cuenta} pairs: UTF-16 code unit, Windows-1252 byte.\n"
  "${cuerpo}")
# Replace only when the text changed, so an unchanged table does not rebuild its users.
file(COPY_FILE "${SALIDA}.tmp" "${SALIDA}" ONLY_IF_DIFFERENT)
file(REMOVE "${SALIDA}.tmp")
