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
  message(FATAL_ERROR "the robustness table is out of date with the headers.\n"
                      "To add a row for each new function: python3 tests/generate_robustness_table.py\n"
                      "Then, for a new function: an output array of more than one element "
                      "needs its size in OUTPUT_ELEMENTS of that script; a result without a "
                      "board other than 0 goes in NeutralResults() of tests/robustness_test.cpp; "
                      "then run quorva_tests --gtest_filter=Robustness.*\n"
                      "missing: ${missing}\nno longer declared: ${extra}")
endif()
list(LENGTH listed count)
message(STATUS "${count} functions in the robustness table, all declared in the public headers")
