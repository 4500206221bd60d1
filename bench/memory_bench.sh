#!/usr/bin/env bash
# Peak resident memory of one kpx_publish run over many small generated movies,
# measured with GNU time. Usage: bench/memory_bench.sh [MOVIES [LIMIT_MB]]
#   MOVIES defaults to 10000, LIMIT_MB to 64; exits 1 above the limit.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

movies="${1:-10000}"
limit_mb="${2:-64}"
KPX_PACKAGES=(time)
kpx_install_packages
program="${KPX_BUILD_DIR}/app/kpx_publish"
if [ ! -x "$program" ]; then
  echo "build $program first (./test.sh or cmake --build $KPX_BUILD_DIR)" >&2
  exit 2
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/source" "$work/html" "$work/movies"
: > "$work/kpx_app.ini"
# A third each of ASCII, Japanese and half-width kana names, 1-4 KiB each.
(
  cd "$work/source"
  for ((i = 0; i < movies; i++)); do
    case $((i % 3)) in
      0) name="clip$i.amc" ;;
      1) name="映画の記録$i.amc" ;;
      2) name="ﾑｰﾋﾞｰ$i.amc" ;;
    esac
    head -c $((1024 * (1 + i % 4))) /dev/zero > "$name"
  done
)

/usr/bin/time -v -o "$work/time.txt" "$program" --ini "$work/kpx_app.ini" --source "$work/source" \
  --html-dir "$work/html" --movie-dir "$work/movies" --per-page 10 --policy overwrite --quiet
peak_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
elapsed=$(awk -F': ' '/Elapsed \(wall clock\)/ { print $2 }' "$work/time.txt")
pages=$(find "$work/html" -name '*.html' | wc -l)
copies=$(find "$work/movies" -name '*.amc' | wc -l)
echo "kpx_publish: $movies movies, $copies copies, $pages pages, wall $elapsed, peak RSS $((peak_kb / 1024)) MB ($peak_kb KB), limit $limit_mb MB"
if [ "$copies" -ne "$movies" ]; then
  echo "FAIL: $copies of $movies movies copied" >&2
  exit 1
fi
if [ "$peak_kb" -gt $((limit_mb * 1024)) ]; then
  echo "FAIL: peak RSS above $limit_mb MB" >&2
  exit 1
fi
