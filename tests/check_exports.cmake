# Compares the functions a built library exports with the functions its headers declare.
# -DLIBRARY=<.so or .dll> -DHEADERS=<include dir> [-DNM=...] [-DOBJDUMP=...]
# With -DIMPORT_LIBRARY=<import library> (Windows), also checks that the import library names
# the same functions.
include(${CMAKE_CURRENT_LIST_DIR}/export_names.cmake)

quorva_exported_names(${LIBRARY} exported)
quorva_declared_names(${HEADERS} declared)
if(NOT exported STREQUAL declared)
  message(FATAL_ERROR "exported symbols differ from declared functions\n"
                      "exported: ${exported}\ndeclared: ${declared}")
endif()

if(IMPORT_LIBRARY)
  execute_process(COMMAND ${NM} --defined-only ${IMPORT_LIBRARY} OUTPUT_VARIABLE text
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot read the import library ${IMPORT_LIBRARY}")
  endif()
  string(REGEX MATCHALL "__imp_QUORVA_[A-Za-z0-9_]+" imports "${text}")
  string(REPLACE "__imp_" "" imports "${imports}")
  list(SORT imports)
  if(NOT imports STREQUAL declared)
    message(FATAL_ERROR "the import library differs from the declared functions\n"
                        "imported: ${imports}\ndeclared: ${declared}")
  endif()
endif()

list(LENGTH exported count)
message(STATUS "${count} exported functions, all declared in the public headers")
