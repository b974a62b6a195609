# What `cmake --install` puts under the prefix: the public headers, the shared library (on
# Windows the DLL in bin/, its import library VarnDasQv.lib and VarnDasQv.def in lib/), the
# quorva tool, the CMake package (find_package(VarnDasQv) gives the target VarnDasQv::VarnDasQv)
# and varndasqv.pc for pkg-config. Both package files locate the prefix from their own place,
# so an installed tree can be moved.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(QUORVA_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/VarnDasQv)

install(TARGETS VarnDasQv EXPORT VarnDasQvTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        FILES_MATCHING PATTERN "*.h")
if(WIN32)
  install(FILES $<TARGET_FILE_DIR:VarnDasQv>/VarnDasQv.def DESTINATION ${CMAKE_INSTALL_LIBDIR})
else()
  set_target_properties(quorva PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
endif()
install(TARGETS quorva RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(EXPORT VarnDasQvTargets NAMESPACE VarnDasQv:: DESTINATION ${QUORVA_PACKAGE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/VarnDasQvConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/VarnDasQvConfig.cmake INSTALL_DESTINATION ${QUORVA_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/VarnDasQvConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/VarnDasQvConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/VarnDasQvConfigVersion.cmake
        DESTINATION ${QUORVA_PACKAGE_DIR})

file(RELATIVE_PATH QUORVA_PC_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" QUORVA_PC_PREFIX "${QUORVA_PC_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/varndasqv.pc.in ${CMAKE_CURRENT_BINARY_DIR}/varndasqv.pc
               @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/varndasqv.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
