# Compares the export lists of the Linux shared object and the Windows DLL: both builds must
# offer applications the same functions.
# -DLINUX_LIBRARY=<libVarnDasQv.so> -DWINDOWS_LIBRARY=<VarnDasQv.dll> [-DNM=...] [-DOBJDUMP=...]
include(${CMAKE_CURRENT_LIST_DIR}/export_names.cmake)

quorva_exported_names(${LINUX_LIBRARY} linux_names)
quorva_exported_names(${WINDOWS_LIBRARY} windows_names)
list(LENGTH linux_names linux_count)
list(LENGTH windows_names windows_count)
if(linux_count EQUAL 0 OR NOT linux_names STREQUAL windows_names)
  set(only_linux ${linux_names})
  set(only_windows ${windows_names})
  if(windows_names)
    list(REMOVE_ITEM only_linux ${windows_names})
  endif()
  if(linux_names)
    list(REMOVE_ITEM only_windows ${linux_names})
  endif()
  message(FATAL_ERROR "export lists differ (Linux ${linux_count}, Windows ${windows_count})\n"
                      "only in the shared object: ${only_linux}\n"
                      "only in the DLL: ${only_windows}")
endif()
message(STATUS "${linux_count} exports, the same in ${LINUX_LIBRARY} and ${WINDOWS_LIBRARY}")
