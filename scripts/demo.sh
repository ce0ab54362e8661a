#!/usr/bin/env bash
# Set-up, then the main job on the bundled sample site: generate it, show what
# its first station's description file holds, load that station in a
# control driven by a page script, and render four views of it as JPEG files.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
SITE=${SITE:-out/sample-site}
rm -rf "$SITE"
"$BUILD_DIR/bin/panora" mkstation "$SITE"
echo
"$BUILD_DIR/bin/panora" info "$SITE/st1/st1.xml"
echo
cat > "$SITE/st1/page.js" <<'JS'
control.attachEvent("ControlInitialized", function () {
  host.log("control ready (ready state " + control.ReadyState + "), loading st1.xml");
  control.src = "st1.xml";
});
control.attachEvent("DownloadComplete", function () {
  host.log("loaded " + control.srcPath + ", progress " + control.GetDownladProgress() + " %");
  host.quit(0);
});
JS
echo "page $SITE/st1/page.js:"
"$BUILD_DIR/bin/panora" run "$SITE/st1/page.js" --timeout 60
echo
for az in 0 90 180 270; do
  "$BUILD_DIR/bin/panora" render "$SITE/st1/st1.xml" -o "$SITE/view-az$az.jpg" --size 960x540 --azimuth $az
  echo "rendered $SITE/view-az$az.jpg (azimuth $az)"
done
