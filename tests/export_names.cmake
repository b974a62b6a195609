# Helpers of the export checks (used with cmake -P).
#
# quorva_exported_names(<library> <out>): the sorted names a built library exports: the export
# table of a DLL (read with OBJDUMP, default x86_64-w64-mingw32-objdump), the defined dynamic
# symbols of a shared object (read with NM, default nm).
# quorva_declared_names(<include dir> <out>): the sorted QUORVA_ functions the headers declare.

function(quorva_exported_names library out)
  if(library MATCHES "\\.[dD][lL][lL]$")
    if(NOT OBJDUMP)
      set(OBJDUMP x86_64-w64-mingw32-objdump)
    endif()
    execute_process(COMMAND ${OBJDUMP} -p ${library} OUTPUT_VARIABLE text RESULT_VARIABLE status)
    # Export table lines look like "	[   3] QUORVA_GetDevInfo".
    set(pattern "^[ \t]*\\[ *[0-9]+\\] ([A-Za-z_][A-Za-z0-9_@]*)$")
  else()
    if(NOT NM)
      set(NM nm)
    endif()
    execute_process(COMMAND ${NM} -D --defined-only ${library} OUTPUT_VARIABLE text
                    RESULT_VARIABLE status)
    set(pattern "^[0-9a-fA-F]* *[A-Za-z] ([^ ]+)$")
  endif()
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot read the exports of ${library}")
  endif()
  string(REGEX MATCHALL "[^\n]+" lines "${text}")
  set(names)
  foreach(line IN LISTS lines)
    if(line MATCHES "${pattern}")
      list(APPEND names ${CMAKE_MATCH_1})
    endif()
  endforeach()
  list(SORT names)
  set(${out} ${names} PARENT_SCOPE)
endfunction()

function(quorva_declared_names include_dir out)
  file(GLOB headers ${include_dir}/*.h)
  set(names)
  foreach(header IN LISTS headers)
    file(READ ${header} text)
    string(REGEX MATCHALL "QUORVA_CALL[ \n]+(QUORVA_[A-Za-z0-9_]+)\\(" found "${text}")
    foreach(match IN LISTS found)
      string(REGEX REPLACE "QUORVA_CALL[ \n]+(QUORVA_[A-Za-z0-9_]+)\\(" "\\1" name "${match}")
      list(APPEND names ${name})
    endforeach()
  endforeach()
  list(SORT names)
  set(${out} ${names} PARENT_SCOPE)
endfunction()
