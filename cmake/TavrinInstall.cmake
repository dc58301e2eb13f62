# cmake --install: the simulator, the assembler, the library with its headers and main.cpp, and
# a package config, so that find_package(Tavrin) builds circuits against an installed copy.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TAVRIN_CONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tavrin)
set(TAVRIN_DATA_DIR ${CMAKE_INSTALL_DATADIR}/tavrin)

# Headers as circuits include them ("tavrin.h", "startup/Sim.h", ...).
target_include_directories(tavrin_sim PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/tavrin>)
target_compile_features(tavrin_sim PUBLIC cxx_std_20)
# A sanitized library needs a sanitized link.
if(TAVRIN_SANITIZE)
  target_link_options(tavrin_sim INTERFACE "$<INSTALL_INTERFACE:${TAVRIN_SANITIZER_FLAGS}>")
endif()

install(TARGETS tavrin tavrin-asm RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS tavrin_sim EXPORT TavrinTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src-simulator/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tavrin
        FILES_MATCHING PATTERN "*.h")
install(FILES ${PROJECT_SOURCE_DIR}/src-simulator/startup/main.cpp DESTINATION ${TAVRIN_DATA_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/tavrin.1 ${PROJECT_SOURCE_DIR}/docs/tavrin-asm.1
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
