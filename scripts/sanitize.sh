#!/usr/bin/env bash
# Builds the whole project with ASan + UBSan in build-sanitize/ and runs every
# test. Usage: scripts/sanitize.sh [ctest arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

kpx_install_packages
KPX_BUILD_DIR="${KPX_SANITIZE_BUILD_DIR:-build-sanitize}"
kpx_build -DKPX_SANITIZE=ON -DKPX_BUILD_BENCH=OFF -DKPX_BUILD_TOOLS=OFF

# Leaks inside Qt's and the font libraries' own caches are not ours to fix.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$KPX_BUILD_DIR"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 600 "$@"
