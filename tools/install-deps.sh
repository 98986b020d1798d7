#!/usr/bin/env bash
# Installs the Debian packages Velmora needs to build, run and test, and only those missing.
# Quiet when everything is there already.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config binutils python3 python3-jsonschema locales
  libgtest-dev
  nlohmann-json3-dev libcli11-dev
  qt6-base-dev libqt6svg6 fonts-dejavu-core
  libvulkan-dev mesa-vulkan-drivers
  opencl-headers ocl-icd-libopencl1 pocl-opencl-icd
  xvfb xauth
  dpkg-dev file lintian desktop-file-utils appstream  # the Debian package and its checks
  clang libclang-rt-dev  # the fuzz targets (libFuzzer)
)
# Extra packages a caller asks for (the comparison scripts add their reference tools).
packages+=("$@")

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}" >/dev/null
