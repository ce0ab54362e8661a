#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the demo need
# (only those missing), then configures and builds into build/.
# Environment: BUILD_DIR (default build), PANORA_SANITIZE (OFF; ON or address
# for ASan+UBSan; thread for TSan), PANORA_WERROR=ON to make warnings errors,
# JOBS (default: number of cores).
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake pkg-config git python3
  libegl-dev libgl-dev libglu1-mesa-dev libegl-mesa0 libgl1-mesa-dri libglx-mesa0
  libturbojpeg0-dev libjpeg62-turbo-dev libpng-dev liblodepng-dev
  libpugixml-dev libcurl4-openssl-dev libinih-dev duktape-dev
  libfreetype-dev libfontconfig-dev fonts-liberation fonts-dejavu-core
  libcairo2-dev libpango1.0-dev
  libgtest-dev libgmock-dev libbenchmark-dev locales
  qt6-base-dev xvfb xdotool x11-utils imagemagick
)

scripts/install-packages.sh "${PACKAGES[@]}"

BUILD_DIR=${BUILD_DIR:-build}
JOBS=${JOBS:-$(nproc)}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPANORA_SANITIZE="${PANORA_SANITIZE:-OFF}" -DPANORA_WERROR="${PANORA_WERROR:-OFF}" >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS"
