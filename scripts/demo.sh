#!/usr/bin/env bash
# Set-up, then the main job on the bundled sample site: generate it and show
# what its first station's description file holds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
SITE=${SITE:-out/sample-site}
rm -rf "$SITE"
"$BUILD_DIR/bin/panora" mkstation "$SITE"
echo
"$BUILD_DIR/bin/panora" info "$SITE/st1/st1.xml"
