#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kinopage Lite.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

kpx_install_packages
kpx_build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display to show the program on (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session." >&2
  exit 1
fi
exec "$KPX_BUILD_DIR/app/kpx_app" "$@"
