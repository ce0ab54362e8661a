#!/usr/bin/env bash
# Installs the build into a fresh prefix, builds examples/embed against the
# installed CMake package, generates a one-station site with the installed
# `panora mkstation` and renders it with the example. The JPEG must be a real
# picture: at least 200 x 150 pixels and many colours.
# Usage: embed_example.sh BUILD_DIR EXAMPLE_DIR [BUILD_TYPE] [LINK_FLAGS]
set -euo pipefail
build=$1 example=$2 type=${3:-RelWithDebInfo} link_flags=${4:-}
work=$build/test-output/install-embed
rm -rf "$work"
mkdir -p "$work"

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log"
test -f "$work/prefix/lib/cmake/Panora/PanoraConfig.cmake"
test -f "$work/prefix/include/panora/control/SX_Control.h"
test -f "$work/prefix/include/panora/BuildVersion.h"
test -f "$work/prefix/lib/pkgconfig/panora.pc"
# The pkg-config file is relocatable: it names the prefix it was installed to.
PKG_CONFIG_PATH=$work/prefix/lib/pkgconfig pkg-config --cflags panora | grep -q -- "-I$work/prefix/"

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$example" -B "$work/build" -DCMAKE_BUILD_TYPE="$type" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_EXE_LINKER_FLAGS="$link_flags" "${launcher[@]}" >"$work/configure.log"
cmake --build "$work/build" >"$work/build.log"

"$work/prefix/bin/panora" mkstation "$work/site" --stations 1 --sizes 256 >/dev/null
# Mesa's own allocations are not ours to report in a sanitizer build.
ASAN_OPTIONS=detect_leaks=0 "$work/build/embed_render" "$work/site/st1/st1.xml" "$work/view.jpg"

read -r width height colours < <(identify -format '%w %h %k\n' "$work/view.jpg")
echo "view.jpg: ${width}x${height}, $colours colours"
if [ "$width" -lt 200 ] || [ "$height" -lt 150 ] || [ "$colours" -lt 100 ]; then
  echo "the example's picture is empty or too small" >&2
  exit 1
fi
