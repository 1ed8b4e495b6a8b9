#!/usr/bin/env bash
# Installs everything needed to build Portico, run its tests and the demo on
# Debian 12. Does nothing (and needs no root) when all packages are present.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libjpeg62-turbo-dev libx11-dev libxext-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-droid-fallback
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb openbox xdotool x11-utils x11-xserver-utils imagemagick libjpeg-turbo-progs
  clang libclang-rt-14-dev valgrind python3 procps
  libpng-dev
  mingw-w64 g++-mingw-w64-x86-64-posix dpkg-dev libz-mingw-w64-dev wine wine64 fonts-wine
  picom sway xwayland grim
)

# Prints the packages that are not installed yet.
missing_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      echo "$p"
    fi
  done
}

main() {
  local missing
  missing=$(missing_packages)
  if [[ -z "$missing" ]]; then
    echo "install-deps: all packages present"
    return 0
  fi
  echo "install-deps: installing:" $missing
  local sudo=()
  if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "install-deps: run as root (or install sudo)" >&2; return 1; }
    sudo=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update
  # shellcheck disable=SC2086  # word splitting of the package list is wanted
  "${sudo[@]}" apt-get install -y --no-install-recommends $missing
}

main "$@"
