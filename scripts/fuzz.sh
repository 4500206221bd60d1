#!/usr/bin/env bash
# Builds the settings file reader's fuzz target with clang (libFuzzer, ASan,
# UBSan) and runs it. Usage: scripts/fuzz.sh [seconds]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

seconds="${1:-60}"
build="${KPX_FUZZ_BUILD_DIR:-build-fuzz}"

KPX_PACKAGES=(clang libclang-rt-14-dev cmake ninja-build qt6-base-dev)
kpx_install_packages

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKPX_FUZZ=ON -DKPX_BUILD_TESTS=OFF -DKPX_BUILD_BENCH=OFF
cmake --build "$build" --target fuzz_ini -j 2

# The corpus grows across runs; the seeds are our own sample files.
mkdir -p "$build/corpus"
cp fuzz/seeds/* "$build/corpus/"
"$build/fuzz/fuzz_ini" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
  -artifact_prefix="$build/" "$build/corpus"
