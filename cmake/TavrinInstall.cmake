# cmake --install: the simulator, the assembler, the netlist simulator, the grading script, the library with its headers
# and main.cpp, and a package config, so that find_package(Tavrin) builds circuits against an
# installed copy.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TAVRIN_CONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tavrin)
set(TAVRIN_DATA_DIR ${CMAKE_INSTALL_DATADIR}/tavrin)

# Headers as circuits include them ("tavrin.h", "startup/Sim.h", ...).
target_include_directories(tavrin_sim PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/tavrin>)
# A sanitized library needs a sanitized link.
if(TAVRIN_SANITIZE)
  target_link_options(tavrin_sim INTERFACE "$<INSTALL_INTERFACE:${TAVRIN_SANITIZER_FLAGS}>")
endif()

install(TARGETS tavrin tavrin-asm tavrin-net RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The grading script finds tavrin, tavrin-asm and the package config from its own place in bin/.
install(PROGRAMS ${PROJECT_SOURCE_DIR}/tools/grade/tavrin-grade DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS tavrin_sim tavrin_pipeline EXPORT TavrinTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# The processor's parts: "pipeline.h" (or "pipeline/pipeline.h") and Tavrin::pipeline.
target_include_directories(tavrin_pipeline PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/tavrin/pipeline>)
install(FILES ${PROJECT_SOURCE_DIR}/pipeline/pipeline.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tavrin/pipeline)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src-simulator/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tavrin
        FILES_MATCHING PATTERN "*.h")
install(FILES ${PROJECT_SOURCE_DIR}/src-simulator/startup/main.cpp DESTINATION ${TAVRIN_DATA_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/tavrin.1 ${PROJECT_SOURCE_DIR}/docs/tavrin-asm.1
              ${PROJECT_SOURCE_DIR}/docs/tavrin-grade.1 ${PROJECT_SOURCE_DIR}/docs/tavrin-net.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(EXPORT TavrinTargets DESTINATION ${TAVRIN_CONFIG_DIR})
# The config finds main.cpp relative to itself, so the installed tree may be moved.
file(RELATIVE_PATH TAVRIN_MAIN_FROM_CONFIG ${CMAKE_INSTALL_PREFIX}/${TAVRIN_CONFIG_DIR}
     ${CMAKE_INSTALL_PREFIX}/${TAVRIN_DATA_DIR}/main.cpp)
configure_file(${CMAKE_CURRENT_LIST_DIR}/TavrinConfig.cmake.in ${PROJECT_BINARY_DIR}/TavrinConfig.cmake @ONLY)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TavrinConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TavrinConfig.cmake ${PROJECT_BINARY_DIR}/TavrinConfigVersion.cmake
        DESTINATION ${TAVRIN_CONFIG_DIR})

# pkg-config for make users; the file finds the tree relative to itself, like the config above.
file(RELATIVE_PATH TAVRIN_PREFIX_FROM_PC ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" TAVRIN_PREFIX_FROM_PC "${TAVRIN_PREFIX_FROM_PC}")
# A build without the window needs no X11 library.
if(TAVRIN_X11)
  set(TAVRIN_PC_REQUIRES "Requires: x11\n")
else()
  set(TAVRIN_PC_REQUIRES "")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/tavrin.pc.in ${PROJECT_BINARY_DIR}/tavrin.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tavrin.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# cpack -G DEB: the installed tree as a Debian package under /usr.
set(CPACK_PACKAGE_NAME tavrin)
set(CPACK_PACKAGE_VENDOR "Tavrin developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Event-driven gate-level digital logic simulator with a pipelined processor")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tavrin developers")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libx11-dev, g++, cmake | pkgconf")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_GENERATOR DEB)
include(CPack)
