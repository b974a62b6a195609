# Checks that a Linux shared library registers no static destructors (no __cxa_atexit): at exit
# they would run before the library's own teardown, which could then reach a destroyed object.
# -DLIBRARY=<.so> -DNM=<nm>
execute_process(COMMAND ${NM} -D --undefined-only ${LIBRARY} OUTPUT_VARIABLE text
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot read the symbols of ${LIBRARY}")
endif()
if(text MATCHES "__cxa_atexit")
  message(FATAL_ERROR "${LIBRARY} registers static destructors: make the process-wide object "
                      "trivially destructible or an Immortal")
endif()
