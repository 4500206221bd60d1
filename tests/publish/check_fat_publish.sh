#!/usr/bin/env bash
# Publishes onto real FAT32 and exFAT images, mounted through their FUSE
# drivers as USB sticks and SD cards are on many desktops: every movie is
# copied whole with its time, a second run under the update choice writes
# nothing, and a hidden file an interrupted run left is removed.
# Exits 77 (skipped) where this machine cannot mount them.
set -uo pipefail

publish="$1"
skip() { echo "SKIP: $*"; exit 77; }

[ "$(id -u)" -eq 0 ] || skip "mounting file system images needs root"
[ -c /dev/fuse ] || skip "no /dev/fuse"

work="$(mktemp -d)"
mounted=()
loops=()
cleanup() {
  for point in "${mounted[@]}"; do fusermount -u "$point" 2>/dev/null || umount "$point" 2>/dev/null; done
  for loop in "${loops[@]}"; do losetup -d "$loop" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

mount_fat() {
  command -v mkfs.fat >/dev/null && command -v fusefat >/dev/null || return 1
  truncate -s 64M "$work/fat.img" && mkfs.fat -F 32 "$work/fat.img" >/dev/null || return 1
  fusefat -o rw+ "$work/fat.img" "$1" >/dev/null 2>&1 || return 1
}

mount_exfat() {
  command -v mkfs.exfat >/dev/null && command -v mount.exfat-fuse >/dev/null || return 1
  truncate -s 64M "$work/exfat.img" && mkfs.exfat "$work/exfat.img" >/dev/null || return 1
  local loop
  loop="$(losetup -f --show "$work/exfat.img" 2>/dev/null)" || return 1
  loops+=("$loop")
  mount.exfat-fuse "$loop" "$1" >/dev/null 2>&1 || return 1
}

source_dir="$work/source"
mkdir -p "$source_dir"
head -c 2000000 /dev/urandom >"$source_dir/big.amc"  # more than one copy call
head -c 5000 /dev/urandom >"$source_dir/small.amc"
head -c 7000 /dev/urandom >"$source_dir/映画.amc"
touch -d "2024-01-01 10:00:13" "$source_dir"/*.amc   # an odd second, which FAT cannot keep

failures=0
checked=0
fail() { echo "FAIL ($1): $2"; failures=$((failures + 1)); }

for kind in fat exfat; do
  point="$work/mnt-$kind"
  mkdir -p "$point"
  if ! "mount_$kind" "$point"; then
    echo "cannot mount $kind here; not checked"
    continue
  fi
  mounted+=("$point")
  checked=$((checked + 1))
  html="$point/html"
  mkdir -p "$html"
  dead="$(sh -c 'echo $$')"
  echo partial >"$html/.kpx$dead-1.tmp"

  first="$("$publish" --ini /dev/null --source "$source_dir" --html-dir "$html" --policy update --date 2024-05-06 2>&1)"
  [ $? -eq 0 ] || fail "$kind" "first run: $first"
  cmp -s "$source_dir/big.amc" "$html/big.amc" || fail "$kind" "big.amc differs"
  cmp -s "$source_dir/small.amc" "$html/small.amc" || fail "$kind" "small.amc differs"
  cmp -s "$source_dir/映画.amc" "$html/mv24050601.amc" || fail "$kind" "the pattern copy differs"
  [ -e "$html/.kpx$dead-1.tmp" ] && fail "$kind" "the hidden file of an ended run is still there"
  leftovers="$(find "$html" -name '.kpx*')"
  [ -z "$leftovers" ] || fail "$kind" "hidden files left: $leftovers"

  second="$("$publish" --ini /dev/null --source "$source_dir" --html-dir "$html" --policy update --date 2024-05-06 2>&1)"
  [ $? -eq 0 ] || fail "$kind" "second run: $second"
  case "$second" in
    *"動画: コピー 0、スキップ 3、失敗 0 / ページ: 作成 0、変更なし 1、スキップ 0、失敗 0"*) ;;
    *) fail "$kind" "the second run wrote files: $second" ;;
  esac
  echo "$kind: checked"
done

[ "$checked" -gt 0 ] || skip "neither FAT nor exFAT could be mounted (fusefat, exfat-fuse, dosfstools, exfatprogs)"
exit $((failures > 0))
