#!/usr/bin/env bash
# Pictures of every window under Xvfb with the real X11 platform and the
# Japanese fonts installed: ./scripts/screenshots.sh [OUTPUT_FOLDER]
# The default folder is docs/, whose pictures the README shows.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
kpx_install_packages
kpx_build
out="${1:-docs}"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$KPX_BUILD_DIR/scripts/screenshots/kpx_screenshots" "$out"
