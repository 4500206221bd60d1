#!/usr/bin/env bash
# The program on a desktop: Xvfb at 1366 x 768 with a window manager (openbox),
# the real X11 platform and the Japanese fonts installed.
#   ./scripts/screenshots.sh [OUTPUT_FOLDER]
# First the desktop checks of the tests run there at scales 1, 1.5 and 2,
# where the window manager's frames count; then pictures of every window are
# saved, and one of the whole screen at scale 1.5. The default folder is
# docs/, whose pictures the README shows.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
kpx_install_packages
kpx_build
out="${1:-docs}"
export KPX_BUILD_DIR out
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
  set -u
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 1
  failed=0
  for scale in 1 1.5 2; do
    echo "desktop checks at scale $scale"
    QT_SCALE_FACTOR=$scale "$KPX_BUILD_DIR/tests/app/test_app" --gtest_filter="DesktopScreen.*" --gtest_brief=1 || failed=1
  done
  "$KPX_BUILD_DIR/scripts/screenshots/kpx_screenshots" "$out" || failed=1
  QT_SCALE_FACTOR=1.5 "$KPX_BUILD_DIR/scripts/screenshots/kpx_screenshots" "$out" --screen screen_scale1.5 || failed=1
  kill $wm
  exit $failed
'
