# Third-party libraries, all from Debian packages (scripts/setup.sh installs them).
# The packages found with find_package here are found again by the installed
# PanoraConfig.cmake (cmake/PanoraConfig.cmake.in): keep the two lists alike.
find_package(Threads REQUIRED)
find_package(CURL REQUIRED)
find_package(PNG REQUIRED)
find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL)

include(${CMAKE_CURRENT_LIST_DIR}/PanoraPkgModules.cmake)
if(DEFINED Panora_FOUND AND NOT Panora_FOUND)
  message(FATAL_ERROR "${Panora_NOT_FOUND_MESSAGE}")
endif()

# Only the hosts use these.
pkg_check_modules(DUKTAPE REQUIRED IMPORTED_TARGET duktape)

if(PANORA_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()
if(PANORA_BUILD_BENCH)
  find_package(benchmark REQUIRED)
endif()
