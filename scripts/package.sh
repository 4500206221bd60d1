#!/usr/bin/env bash
# Builds the Debian package in build-package/ and checks it with lintian,
# which must report no error: ./scripts/package.sh
# Install it with: sudo apt install ./build-package/kinopage-lite_<version>_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

KPX_PACKAGES+=(dpkg-dev lintian file)
kpx_install_packages
# Debian's own build flags: hardening (fortify, stack protector, relro, bind now).
KPX_BUILD_DIR=build-package kpx_build -DCMAKE_BUILD_TYPE=Release -DKPX_BUILD_TESTS=OFF -DKPX_BUILD_BENCH=OFF \
  -DKPX_BUILD_TOOLS=OFF \
  -DCMAKE_CXX_FLAGS="$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CPPFLAGS) $(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)"
(cd build-package && cpack -G DEB)
package="$(ls build-package/kinopage-lite_*_amd64.deb)"
lintian --fail-on error "$package"
echo "$package"
