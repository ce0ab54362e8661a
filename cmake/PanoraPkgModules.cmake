# The pkg-config modules and lodepng that the static Panora libraries link.
# Read by the project's build (cmake/Dependencies.cmake) and, installed, by
# PanoraConfig.cmake; there a missing one makes the package not found.
find_package(PkgConfig REQUIRED)

foreach(_panora_spec PUGIXML=pugixml TURBOJPEG=libturbojpeg INIH=inih GLU=glu
                     FREETYPE=freetype2 FONTCONFIG=fontconfig CAIRO=cairo PANGOCAIRO=pangocairo)
  string(REPLACE "=" ";" _panora_spec "${_panora_spec}")
  list(GET _panora_spec 0 _panora_prefix)
  list(GET _panora_spec 1 _panora_module)
  if(NOT TARGET PkgConfig::${_panora_prefix})
    pkg_check_modules(${_panora_prefix} QUIET IMPORTED_TARGET ${_panora_module})
  endif()
  if(NOT TARGET PkgConfig::${_panora_prefix})
    set(Panora_FOUND FALSE)
    set(Panora_NOT_FOUND_MESSAGE "pkg-config module ${_panora_module} not found")
  endif()
endforeach()

if(NOT TARGET lodepng::lodepng)
  find_path(LODEPNG_INCLUDE_DIR lodepng.h)
  find_library(LODEPNG_LIBRARY lodepng)
  if(LODEPNG_INCLUDE_DIR AND LODEPNG_LIBRARY)
    add_library(lodepng::lodepng UNKNOWN IMPORTED)
    set_target_properties(lodepng::lodepng PROPERTIES
      IMPORTED_LOCATION "${LODEPNG_LIBRARY}"
      INTERFACE_INCLUDE_DIRECTORIES "${LODEPNG_INCLUDE_DIR}")
  else()
    set(Panora_FOUND FALSE)
    set(Panora_NOT_FOUND_MESSAGE "lodepng (header and library) not found")
  endif()
endif()
