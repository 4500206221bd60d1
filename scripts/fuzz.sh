#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan, UBSan) and runs each in turn.
# Usage: scripts/fuzz.sh [SECONDS [TARGET...]]
#   SECONDS per target (default 60); TARGET among ini henkan link rename (default all).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

seconds="${1:-60}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(ini henkan link rename)
fi
build="${KPX_FUZZ_BUILD_DIR:-build-fuzz}"

KPX_PACKAGES=(clang libclang-rt-14-dev cmake ninja-build qt6-base-dev)
kpx_install_packages

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKPX_FUZZ=ON -DKPX_BUILD_TESTS=OFF -DKPX_BUILD_BENCH=OFF -DKPX_BUILD_TOOLS=OFF
cmake --build "$build" --target "${targets[@]/#/fuzz_}" -j 2

# A finding in one target does not keep the others from running.
failed=()
for target in "${targets[@]}"; do
  # Each corpus grows across runs; the seeds are our own sample inputs.
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  cp "fuzz/seeds/$target"/* "$corpus/"
  echo "== fuzz_$target for ${seconds}s"
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz_$target-" "$corpus" || failed+=("$target")
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "== findings in: ${failed[*]} (inputs saved as $build/fuzz_TARGET-crash-*)" >&2
  exit 1
fi
