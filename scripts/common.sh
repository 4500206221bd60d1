# Shared by run.sh and test.sh: the packages the build and the tests need, and
# the build itself.

KPX_PACKAGES=(
  g++
  cmake
  ninja-build
  pkg-config
  qt6-base-dev
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  fonts-ipafont-gothic
  qt6-translations-l10n
  xvfb
  openbox
  xauth
  libxml2-utils
  python3
  desktop-file-utils
  appstream
  groff-base
  dosfstools
  exfatprogs
  fusefat
  exfat-fuse
)
KPX_BUILD_DIR="${KPX_BUILD_DIR:-build}"

kpx_install_packages() {
  local missing=()
  local pkg
  for pkg in "${KPX_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

kpx_build() {
  cmake -S . -B "$KPX_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$KPX_BUILD_DIR" -j "$(nproc)"
}
