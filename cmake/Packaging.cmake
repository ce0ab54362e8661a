# Installation and packaging: `cmake --install BUILD --prefix P` puts the
# program in P/bin, the static libraries in P/lib, the headers under
# P/include/panora/<folder>/ (with the generated BuildVersion.h beside them),
# the CMake package in P/lib/cmake/Panora and panora.pc in P/lib/pkgconfig.
# `cpack -G DEB` in the build folder makes the Debian package of the same.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(PANORA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Panora)
install(EXPORT PanoraTargets NAMESPACE Panora:: DESTINATION ${PANORA_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/PanoraConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package/PanoraConfig.cmake INSTALL_DESTINATION ${PANORA_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/PanoraConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/PanoraConfig.cmake
              ${CMAKE_BINARY_DIR}/package/PanoraConfigVersion.cmake
              ${CMAKE_CURRENT_LIST_DIR}/PanoraPkgModules.cmake
        DESTINATION ${PANORA_CMAKE_DIR})

# panora.pc finds its prefix from its own place, so it holds for any --prefix.
file(RELATIVE_PATH PANORA_PC_TO_PREFIX /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
set(PANORA_PC_LIBS)
set(_pc_layers ${PANORA_LAYERS})
list(REVERSE _pc_layers)  # the static libraries above first
foreach(folder IN LISTS _pc_layers)
  string(APPEND PANORA_PC_LIBS " -lpanora_${folder}")
endforeach()
string(STRIP "${PANORA_PC_LIBS}" PANORA_PC_LIBS)
configure_file(${CMAKE_CURRENT_LIST_DIR}/panora.pc.in ${CMAKE_BINARY_DIR}/package/panora.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/panora.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Debian package: everything above under /usr. The program's shared-library
# dependencies are worked out by dpkg-shlibdeps; the software rasteriser and
# the fonts it matches for "Arial" are recommended, the development packages
# the static libraries link against are suggested.
set(CPACK_PACKAGE_NAME panora)
set(CPACK_PACKAGE_VENDOR "Panora developers")
set(CPACK_PACKAGE_CONTACT "Panora developers <panora@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Viewer for laser-scan stations")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded with dlopen at the first download, so not found by shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri, libegl-mesa0, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS
    "libcurl4-openssl-dev, libpng-dev, libpugixml-dev, libturbojpeg0-dev, libinih-dev, \
libfreetype-dev, libfontconfig-dev, libcairo2-dev, libglu1-mesa-dev, libegl-dev, libgl-dev, liblodepng-dev")
include(CPack)
