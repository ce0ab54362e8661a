#!/usr/bin/env bash
# Builds the Debian package in the build folder, checks its name, version and
# dependencies, unpacks it (no root needed) and runs the unpacked program.
# Usage: debian_package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
work=$build/test-output/install-deb
rm -rf "$work"
mkdir -p "$work"

(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log")
deb=$(ls "$work"/package/panora_"$version"_*.deb)
test "$(dpkg-deb -f "$deb" Package)" = panora
test "$(dpkg-deb -f "$deb" Version)" = "$version"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libcurl4 libturbojpeg0; do
  grep -q "$lib" <<<"$depends" || { echo "Depends lacks $lib" >&2; exit 1; }
done

dpkg-deb -x "$deb" "$work/root"
test -f "$work/root/usr/lib/cmake/Panora/PanoraConfig.cmake"
test -f "$work/root/usr/include/panora/station/SX_CubeMap.h"
out=$("$work/root/usr/bin/panora" --version)
echo "$out"
test "$out" = "panora $version"
# The desktop viewer is a module that only `panora view` loads: the program
# itself must not need a Qt library.
if readelf -d "$work/root/usr/bin/panora" | grep -q 'NEEDED.*libQt'; then
  echo "usr/bin/panora needs a Qt library" >&2; exit 1
fi
if [ -f "$build/bin/panora_viewer.so" ]; then
  test -f "$work/root/usr/lib/panora/panora_viewer.so"
  grep -q libqt6widgets6 <<<"$depends" || { echo "Depends lacks libqt6widgets6" >&2; exit 1; }
fi
