# Checks that the robustness table names exactly the functions the public headers declare.
# -DHEADERS=<include dir> -DTABLE=<robustness_table.inc>
include(${CMAKE_CURRENT_LIST_DIR}/export_names.cmake)

quorva_declared_names(${HEADERS} declared)
file(STRINGS ${TABLE} entries REGEX "^QUORVA_ROBUSTNESS_ENTRY\\(")
set(listed)
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^QUORVA_ROBUSTNESS_ENTRY\\((QUORVA_[A-Za-z0-9_]+),.*" "\\1" name "${entry}")
  list(APPEND listed ${name})
endforeach()
list(SORT listed)
if(NOT listed STREQUAL declared)
  set(missing ${declared})
  list(REMOVE_ITEM missing ${listed})
  set(extra ${listed})
  list(REMOVE_ITEM extra ${declared})
  message(FATAL_ERROR "the robustness table is out of date with the headers; run "
                      "python3 tests/generate_robustness_table.py\n"
                      "missing: ${missing}\nno longer declared: ${extra}")
endif()
list(LENGTH listed count)
message(STATUS "${count} functions in the robustness table, all declared in the public headers")
